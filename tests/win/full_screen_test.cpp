#include "full_screen.h"

#include <gtest/gtest.h>

#include "message_pump.h"

namespace {

// A framed window like the main window, or one that starts borderless.
HWND makeWindow(DWORD style, int x, int y, int w, int h) {
    return CreateWindowExW(0, L"STATIC", L"full screen test", style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
}

RECT windowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// Leaving full screen is asynchronous: the window's messages bring it back.
RECT rectOnceItIs(HWND window, const RECT& expected) {
    pumpMessagesUntil([&] { return sameRect(windowRect(window), expected); }, 10000);
    return windowRect(window);
}

RECT primaryMonitor() {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return info.rcMonitor;
}

TEST(FullScreen, LeavingWithoutASavedPlaceGivesTheDefaultRectangle) {
    FramedPlace place;  // nothing remembered yet, as for a window that starts full screen
    // A top-level window always gets a caption at creation: take it away.
    HWND window = makeWindow(kFramedWindowStyle, 0, 0, 300, 200);
    ASSERT_NE(nullptr, window);
    SetWindowLongA(window, GWL_STYLE, kFullScreenWindowStyle);
    unsigned int width = 0, height = 0;
    switchFullScreen(place, window, false, width, height);

    const RECT monitor = primaryMonitor();
    const LONG w = (monitor.right - monitor.left) * 8 / 10;
    const LONG h = (monitor.bottom - monitor.top) * 8 / 10;
    const LONG left = (monitor.right - monitor.left - w) / 2;
    const LONG top = (monitor.bottom - monitor.top - h) / 4;
    EXPECT_EQ(static_cast<unsigned>(w), width);
    EXPECT_EQ(static_cast<unsigned>(h), height);
    EXPECT_EQ(kFramedWindowStyle, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & ~WS_VISIBLE);

    const RECT rect = rectOnceItIs(window, RECT{left, top, left + w, top + h});
    EXPECT_EQ(left, rect.left);
    EXPECT_EQ(top, rect.top);
    EXPECT_EQ(left + w, rect.right);
    EXPECT_EQ(top + h, rect.bottom);
    DestroyWindow(window);
}

TEST(FullScreen, EntersOverTheWholeMonitorAndComesBackToTheSameRectangle) {
    FramedPlace place;
    HWND window = makeWindow(kFramedWindowStyle, 100, 80, 640, 480);
    ASSERT_NE(nullptr, window);
    const RECT framed = windowRect(window);
    unsigned int width = 1, height = 1;

    switchFullScreen(place, window, true, width, height);
    const RECT monitor = primaryMonitor();
    EXPECT_EQ(static_cast<unsigned>(monitor.right - monitor.left), width);
    EXPECT_EQ(static_cast<unsigned>(monitor.bottom - monitor.top), height);
    EXPECT_EQ(kFullScreenWindowStyle | WS_VISIBLE, static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)));
    EXPECT_EQ(0, GetWindowLongA(window, GWL_EXSTYLE));
    const RECT full = windowRect(window);
    EXPECT_EQ(monitor.left, full.left);
    EXPECT_EQ(monitor.top, full.top);
    EXPECT_EQ(monitor.right, full.right);
    EXPECT_EQ(monitor.bottom, full.bottom);

    // A second request changes nothing and reports nothing.
    width = height = 7;
    switchFullScreen(place, window, true, width, height);
    EXPECT_EQ(7u, width);
    EXPECT_EQ(7u, height);

    switchFullScreen(place, window, false, width, height);
    EXPECT_EQ(static_cast<unsigned>(framed.right - framed.left), width);
    EXPECT_EQ(static_cast<unsigned>(framed.bottom - framed.top), height);
    const RECT back = rectOnceItIs(window, framed);
    EXPECT_EQ(framed.left, back.left);
    EXPECT_EQ(framed.top, back.top);
    EXPECT_EQ(framed.right, back.right);
    EXPECT_EQ(framed.bottom, back.bottom);

    width = height = 9;
    switchFullScreen(place, window, false, width, height);
    EXPECT_EQ(9u, width);
    DestroyWindow(window);
}

}  // namespace
