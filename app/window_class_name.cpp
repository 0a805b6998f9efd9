#include "window_class_name.h"

#include <windows.h>

void buildWindowClassName(const std::string& product, std::wstring& out) {
    if (product.empty())
        return;
    std::string name = "STAGEENGINE.";
    for (char c : product)
        name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;

    wchar_t converted[kMaxWindowClassNameUnits + 1];
    const int units = MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()),
                                          converted, static_cast<int>(kMaxWindowClassNameUnits));
    out.assign(converted, units > 0 ? units : 0);
}
