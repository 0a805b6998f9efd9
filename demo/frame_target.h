#pragma once
// The render thread's drawing surfaces: a back buffer (a DIB section the
// rasteriser writes into, at most the window's size) and a window-sized one
// where the back buffer is scaled up and the overlay drawn, copied to the
// window in one go.
#include <windows.h>

#include <cstdint>

#include "base/unique_handle.h"

namespace qo {

class FrameTarget {
public:
    // Makes the surfaces for a window client of width x height and a back
    // buffer of backWidth x backHeight when they differ from those it has;
    // false when GDI refuses.
    bool fit(HWND window, int width, int height, int backWidth, int backHeight);
    void release();

    uint32_t* pixels() const { return pixels_; }
    int backWidth() const { return backWidth_; }
    int backHeight() const { return backHeight_; }
    int width() const { return width_; }
    int height() const { return height_; }
    HDC composeDC() const { return composeDC_.get(); }

    // Scales the back buffer into the compose surface.
    void scaleUp();
    // Copies the compose surface to the window.
    void present(HWND window);

private:
    UniqueMemoryDC backDC_, composeDC_;
    UniqueGdiObject backBitmap_, composeBitmap_;
    HGDIOBJ backOld_ = nullptr, composeOld_ = nullptr;
    uint32_t* pixels_ = nullptr;
    int backWidth_ = 0, backHeight_ = 0, width_ = 0, height_ = 0;
};

}  // namespace qo
