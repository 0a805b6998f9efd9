#include "screen_pixels.h"

#include "unique_handle.h"

std::vector<uint32_t> capturePixels(HDC source, int x, int y, int width, int height) {
    UniqueMemoryDC memory(CreateCompatibleDC(source));
    UniqueGdiObject bitmap(CreateCompatibleBitmap(source, width, height));
    const HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, source, x, y, SRCCOPY);
    SelectObject(memory.get(), old);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    for (uint32_t& pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}
