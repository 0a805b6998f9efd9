#include "full_screen.h"

namespace {

// The main window's.
FramedPlace mainWindowPlace;

bool isFramed(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) != 0;
}

// The whole monitor nearest to the window, taskbar included; the primary
// monitor's work area when there is no monitor information.
RECT targetArea(HWND window) {
    RECT area = {};
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (monitor && GetMonitorInfoA(monitor, &info))
        area = info.rcMonitor;
    else
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// 80 % of the area, centred horizontally and a quarter of the free height
// from the top, counted from the screen origin.
RECT defaultFramedRect(const RECT& area) {
    const LONG areaWidth = area.right - area.left;
    const LONG areaHeight = area.bottom - area.top;
    const LONG w = areaWidth * 8 / 10;
    const LONG h = areaHeight * 8 / 10;
    const LONG left = (areaWidth - w) / 2;
    const LONG top = (areaHeight - h) / 4;
    return RECT{left, top, left + w, top + h};
}

}  // namespace

void switchFullScreen(HWND window, bool on, unsigned int& width, unsigned int& height) {
    switchFullScreen(mainWindowPlace, window, on, width, height);
}

void switchFullScreen(FramedPlace& place, HWND window, bool on, unsigned int& width, unsigned int& height) {
    RECT& savedWindowRect = place.savedWindowRect;
    bool& savedWindowRectValid = place.savedWindowRectValid;
    if (on) {
        if (!isFramed(window))
            return;
        savedWindowRectValid = GetWindowRect(window, &savedWindowRect) != FALSE;
        const RECT area = targetArea(window);
        SetWindowLongA(window, GWL_STYLE, kFullScreenWindowStyle);
        SetWindowLongA(window, GWL_EXSTYLE, 0);
        width = area.right - area.left;
        height = area.bottom - area.top;
        SetWindowPos(window, nullptr, area.left, area.top, width, height,
                     SWP_FRAMECHANGED | SWP_SHOWWINDOW);
        return;
    }

    if (isFramed(window))
        return;
    if (!savedWindowRectValid) {
        savedWindowRect = defaultFramedRect(targetArea(window));
        savedWindowRectValid = true;
    }
    width = savedWindowRect.right - savedWindowRect.left;
    height = savedWindowRect.bottom - savedWindowRect.top;
    SetWindowLongA(window, GWL_STYLE, kFramedWindowStyle);
    // Asynchronous: the product may ask from its own thread, which must not
    // wait for the main thread.
    SetWindowPos(window, nullptr, savedWindowRect.left, savedWindowRect.top, width, height,
                 SWP_ASYNCWINDOWPOS | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
}
