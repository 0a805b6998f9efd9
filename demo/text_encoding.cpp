#include "text_encoding.h"

namespace qo {

std::wstring widen(const std::string& text, UINT codePage) {
    if (text.empty())
        return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

std::string narrow(const std::wstring& text, UINT codePage) {
    if (text.empty())
        return {};
    const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string bytes(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), &bytes[0], length, nullptr,
                        nullptr);
    return bytes;
}

}  // namespace qo
