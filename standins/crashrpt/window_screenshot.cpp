#include "window_screenshot.h"

#include <vector>

#include "unique_handle.h"

namespace {

// Larger than any screen; bounds the buffer a corrupted rectangle could ask for.
constexpr LONG kMaxSide = 16384;
constexpr WORD kBitmapFileType = 0x4D42;  // "BM"

bool isMainWindowCandidate(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId == GetCurrentProcessId() && IsWindowVisible(window) && !GetWindow(window, GW_OWNER);
}

BOOL CALLBACK collectCandidate(HWND window, LPARAM found) {
    if (!isMainWindowCandidate(window))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}


bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

}  // namespace

HWND findMainWindow() {
    const HWND foreground = GetForegroundWindow();
    if (foreground && isMainWindowCandidate(foreground))
        return foreground;
    HWND found = nullptr;
    EnumWindows(collectCandidate, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool writeWindowScreenshot(HWND window, const std::string& path, std::string& error) {
    RECT rect = {};
    if (!window || IsIconic(window) || !GetWindowRect(window, &rect)) {
        error = "no visible main window";
        return false;
    }
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        error = "main window has no usable size";
        return false;
    }
    UniqueScreenDC screen(GetDC(nullptr));
    UniqueMemoryDC memory(screen ? CreateCompatibleDC(screen.get()) : nullptr);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;  // bottom-up, as BMP files are stored
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject bitmap(memory ? CreateDIBSection(memory.get(), reinterpret_cast<BITMAPINFO*>(&header),
                                                     DIB_RGB_COLORS, &bits, nullptr, 0)
                                  : nullptr);
    if (!bitmap || !bits) {
        error = "unable to make a bitmap";
        return false;
    }
    const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    const bool copied = BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY) != FALSE;
    GdiFlush();
    SelectObject(memory.get(), previous);
    if (!copied) {
        error = "unable to copy the screen";
        return false;
    }
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    header.biSizeImage = imageSize;
    BITMAPFILEHEADER file = {};
    file.bfType = kBitmapFileType;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + imageSize;

    std::vector<unsigned char> bytes;
    bytes.reserve(file.bfSize);
    const auto append = [&bytes](const void* data, size_t size) {
        const auto* first = static_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), first, first + size);
    };
    append(&file, sizeof file);
    append(&header, sizeof header);
    append(bits, imageSize);
    if (!writeFile(path, bytes)) {
        error = "unable to write " + path;
        return false;
    }
    return true;
}
