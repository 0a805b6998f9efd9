#include "frame_target.h"

#include <algorithm>

namespace qo {
namespace {

// A DC from GetDC, given back to its window.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

}  // namespace

void FrameTarget::release() {
    // Bitmaps go only once no DC holds them.
    if (backDC_ && backOld_)
        SelectObject(backDC_.get(), backOld_);
    if (composeDC_ && composeOld_)
        SelectObject(composeDC_.get(), composeOld_);
    backOld_ = composeOld_ = nullptr;
    backBitmap_.reset();
    composeBitmap_.reset();
    backDC_.reset();
    composeDC_.reset();
    pixels_ = nullptr;
    backWidth_ = backHeight_ = width_ = height_ = 0;
}

bool FrameTarget::fit(HWND window, int width, int height, int backWidth, int backHeight) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    backWidth = std::clamp(backWidth, 1, width);
    backHeight = std::clamp(backHeight, 1, height);
    if (pixels_ && width == width_ && height == height_ && backWidth == backWidth_ && backHeight == backHeight_)
        return true;
    release();
    WindowDC screen(window);
    if (!screen.get())
        return false;

    backWidth_ = backWidth;
    backHeight_ = backHeight;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = backWidth_;
    info.bmiHeader.biHeight = -backHeight_;  // rows top-down, as the rasteriser writes them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    backBitmap_.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    backDC_.reset(CreateCompatibleDC(screen.get()));
    composeBitmap_.reset(CreateCompatibleBitmap(screen.get(), width, height));
    composeDC_.reset(CreateCompatibleDC(screen.get()));
    if (!backBitmap_ || !backDC_ || !composeBitmap_ || !composeDC_ || !bits) {
        release();
        return false;
    }
    backOld_ = SelectObject(backDC_.get(), backBitmap_.get());
    composeOld_ = SelectObject(composeDC_.get(), composeBitmap_.get());
    pixels_ = static_cast<uint32_t*>(bits);
    width_ = width;
    height_ = height;
    return true;
}

void FrameTarget::scaleUp() {
    GdiFlush();  // the rasteriser wrote the DIB's memory directly
    if (backWidth_ == width_ && backHeight_ == height_) {
        BitBlt(composeDC_.get(), 0, 0, width_, height_, backDC_.get(), 0, 0, SRCCOPY);
        return;
    }
    SetStretchBltMode(composeDC_.get(), COLORONCOLOR);
    StretchBlt(composeDC_.get(), 0, 0, width_, height_, backDC_.get(), 0, 0, backWidth_, backHeight_, SRCCOPY);
}

void FrameTarget::present(HWND window) {
    WindowDC target(window);
    if (target.get())
        BitBlt(target.get(), 0, 0, width_, height_, composeDC_.get(), 0, 0, SRCCOPY);
}

}  // namespace qo
