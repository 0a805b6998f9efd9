// The main window's size and place from the "resolution" launch parameter,
// on the real screen (Xvfb's here), one window per case.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "host_state.h"
#include "main_window_proc.h"
#include "qm_standalone.h"

namespace {

struct Screen {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
};

struct Placement {
    int clientWidth;
    int clientHeight;
    RECT outer;
    bool framed;
};

struct SizeCase {
    const char* name;
    const char* resolution;  // null: no "resolution" parameter
    void (*check)(const Placement& placed, const Screen& screen);
};

void registerClassFor(const QMStandAlone& application) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = application.instance;
    windowClass.lpszClassName = application.windowClassName.c_str();
    RegisterClassExW(&windowClass);  // already there for the cases after the first
}

// The outer size of a framed window around a client area of that size.
SIZE framedOuter(int width, int height) {
    RECT outer = {0, 0, width, height};
    AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, FALSE);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

// Centred across, a quarter of the free height from the top.
void expectComputedPlace(const Placement& placed, const Screen& screen) {
    const LONG width = placed.outer.right - placed.outer.left;
    const LONG height = placed.outer.bottom - placed.outer.top;
    EXPECT_EQ((screen.width - width) / 2, placed.outer.left);
    EXPECT_EQ((screen.height - height) / 4, placed.outer.top);
}

// A framed window asked for with a client area of width x height. The
// system keeps a window within its largest tracking size (the screen and a
// frame), so a screen-sized client area comes out that much smaller.
void expectFramed(const Placement& placed, int width, int height) {
    EXPECT_TRUE(placed.framed);
    const SIZE asked = framedOuter(width, height);
    const LONG outerWidth = std::min<LONG>(asked.cx, GetSystemMetrics(SM_CXMAXTRACK));
    const LONG outerHeight = std::min<LONG>(asked.cy, GetSystemMetrics(SM_CYMAXTRACK));
    EXPECT_EQ(outerWidth, placed.outer.right - placed.outer.left);
    EXPECT_EQ(outerHeight, placed.outer.bottom - placed.outer.top);
    EXPECT_EQ(width - (asked.cx - outerWidth), placed.clientWidth);
    EXPECT_EQ(height - (asked.cy - outerHeight), placed.clientHeight);
}

// A first start-up keeps the size the application object starts with.
constexpr int kInitialWidth = 640;
constexpr int kInitialHeight = 480;

const SizeCase kSizes[] = {
    {"Default80PerCent", nullptr,
     [](const Placement& p, const Screen& s) {
         expectFramed(p, s.width * 8 / 10, s.height * 8 / 10);
         expectComputedPlace(p, s);
     }},
    {"EmptyCountsAsAbsent", "",
     [](const Placement& p, const Screen& s) { expectFramed(p, s.width * 8 / 10, s.height * 8 / 10); }},
    {"FullScreen", "fullscreen",
     [](const Placement& p, const Screen& s) {
         EXPECT_FALSE(p.framed);
         EXPECT_EQ(s.width, p.clientWidth);
         EXPECT_EQ(s.height, p.clientHeight);
         EXPECT_EQ(0, p.outer.left);
         EXPECT_EQ(0, p.outer.top);
     }},
    {"FullScreenOtherCase", "FullScreen",
     [](const Placement& p, const Screen& s) {
         expectFramed(p, kInitialWidth, kInitialHeight);
         expectComputedPlace(p, s);
     }},
    {"FullScreenCapitals", "FULLSCREEN",
     [](const Placement& p, const Screen&) { expectFramed(p, kInitialWidth, kInitialHeight); }},
    {"FullScreenWithABlank", " fullscreen",
     [](const Placement& p, const Screen&) { expectFramed(p, kInitialWidth, kInitialHeight); }},
    {"OneNumberSetsTheWidth", "800",
     [](const Placement& p, const Screen& s) {
         expectFramed(p, 800, kInitialHeight);
         expectComputedPlace(p, s);
     }},
    {"SizeAndCorner", "1024x768|10x20",
     [](const Placement& p, const Screen&) {
         expectFramed(p, 1024, 768);
         EXPECT_EQ(10, p.outer.left);
         EXPECT_EQ(20, p.outer.top);
     }},
    {"ScanStopsAtTheSecondBar", "1024x768|10|20",
     [](const Placement& p, const Screen& s) {
         expectFramed(p, 1024, 768);
         EXPECT_EQ(10, p.outer.left);
         EXPECT_EQ((s.height - (p.outer.bottom - p.outer.top)) / 4, p.outer.top);
     }},
    {"AboveTheScreen", "5000x5000",
     [](const Placement& p, const Screen& s) {
         expectFramed(p, s.width, s.height);
         EXPECT_EQ(0, p.outer.left);
         EXPECT_EQ(0, p.outer.top);
     }},
    {"NegativeCountsAsAboveTheScreen", "-5x600",
     [](const Placement& p, const Screen& s) {
         expectFramed(p, s.width, 600);
         EXPECT_EQ(0, p.outer.left);
     }},
    {"Malformed", "x600",
     [](const Placement& p, const Screen& s) {
         expectFramed(p, kInitialWidth, kInitialHeight);
         expectComputedPlace(p, s);
     }},
};

Placement placeWindow(const char* resolution) {
    QMStandAlone application(GetModuleHandleW(nullptr), L"size test");
    if (resolution)
        application.params.extras.emplace_back("resolution", resolution);
    registerClassFor(application);
    Placement placed = {};
    EXPECT_TRUE(application.createWindow());
    const HWND window = mainWindow.load();
    RECT client = {};
    GetClientRect(window, &client);
    placed.clientWidth = client.right;
    placed.clientHeight = client.bottom;
    EXPECT_EQ(static_cast<unsigned int>(client.right), application.width);
    EXPECT_EQ(static_cast<unsigned int>(client.bottom), application.height);
    GetWindowRect(window, &placed.outer);
    placed.framed = (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    MSG quit;  // of WM_DESTROY
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return placed;
}

TEST(MainWindowSize, FollowsTheResolutionParameter) {
    const Screen screen;
    ASSERT_GT(screen.width, 1024);
    for (const SizeCase& c : kSizes) {
        SCOPED_TRACE(c.name);
        c.check(placeWindow(c.resolution), screen);
    }
}

}  // namespace
