// The demo product (qo.dll) through the real host: it draws, answers a
// click with a record for the owner, and its keys reach the host's services.
#include <gtest/gtest.h>

#include "screen_pixels.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "base/unique_handle.h"
#include "host_fixture.h"
#include "owner_window.h"
#include "wait_until.h"

namespace {

// The window's client area as the screen shows it now, 0x00RRGGBB rows
// top-down, limited to its first `rows` rows.
std::vector<uint32_t> captureClient(HWND window, int rows = 1 << 16) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    const int width = client.right, height = std::min<int>(client.bottom, rows);
    if (width <= 0 || height <= 0)
        return {};
    UniqueScreenDC screen(GetDC(nullptr));
    return capturePixels(screen.get(), origin.x, origin.y, width, height);
}

size_t distinctColours(const std::vector<uint32_t>& pixels) {
    return std::set<uint32_t>(pixels.begin(), pixels.end()).size();
}

size_t distinctClientColours(HWND window) {
    return distinctColours(captureClient(window));
}

// The client's last `rows` rows as the screen shows them now.
std::vector<uint32_t> captureClientBottom(HWND window, int rows) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, client.bottom - rows};
    ClientToScreen(window, &origin);
    if (client.right <= 0 || client.bottom < rows)
        return {};
    UniqueScreenDC screen(GetDC(nullptr));
    return capturePixels(screen.get(), origin.x, origin.y, client.right, rows);
}

// "qo|render client=WxH back=WxH samples=NxN": the viewer's drawing size,
// logged each time it changes.
struct RenderSize {
    int clientWidth = 0, clientHeight = 0, backWidth = 0, backHeight = 0, samples = 0, samplesAgain = 0;
};

std::vector<RenderSize> renderSizes(const DebugRun& run) {
    std::vector<RenderSize> sizes;
    for (const std::string& line : run.linesStartingWith("qo|render ")) {
        RenderSize s;
        const int fields = std::sscanf(line.c_str(), "qo|render client=%dx%d back=%dx%d samples=%dx%d", &s.clientWidth,
                                       &s.clientHeight, &s.backWidth, &s.backHeight, &s.samples, &s.samplesAgain);
        EXPECT_EQ(6, fields) << line;
        sizes.push_back(s);
    }
    return sizes;
}

bool fullScale(const RenderSize& s) {
    return s.backWidth == s.clientWidth && s.backHeight == s.clientHeight && s.samples == 2 && s.samplesAgain == 2;
}

bool framed(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_CAPTION) != 0;
}

// One host run, as starts cost seconds here: the demo draws, typed text
// shows, a click on the chair's seat reaches the owner, F11 goes full screen and back, a digit
// restarts it with another scene, Esc ends the run with exit code 0.
TEST(DemoProduct, DrawsAndServesItsKeysThroughTheHost) {
    HostFixture host("e2edemo");
    OwnerWindow owner;
    auto running =
        host.start("-owner " + owner.handleText() + " -log_flags IWE -resolution 640x480 -scene 0", "qo", 180000);
    ASSERT_TRUE(owner.waitForState(1, 90000));
    HWND window = host.waitForWindow();
    ASSERT_NE(nullptr, window);

    // A sky gradient and a shaded chair: far more than a cleared window's colour.
    EXPECT_TRUE(waitUntil([&] { return distinctClientColours(window) >= 16; }, 30000, 100))
        << distinctClientColours(window);

    // Typed text shows in the overlay's top lines; the chair stands still.
    constexpr int kOverlayRows = 80;
    const std::vector<uint32_t> beforeTyping = captureClient(window, kOverlayRows);
    PostMessageW(window, WM_CHAR, 'h', 0);
    PostMessageW(window, WM_CHAR, 'i', 0);
    EXPECT_TRUE(waitUntil([&] { return captureClient(window, kOverlayRows) != beforeTyping; }, 30000, 100));

    const LPARAM centre = MAKELPARAM(320, 240);
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    PostMessageW(window, WM_LBUTTONUP, 0, centre);
    EXPECT_TRUE(waitUntil([&] {
        for (const ReceivedCopyData& data : owner.received()) {
            if (data.command == 2)
                return true;
        }
        return false;
    }, 30000, 100));

    PostMessageW(window, WM_KEYDOWN, VK_F11, 0);
    EXPECT_TRUE(waitUntil([&] { return !framed(window); }, 30000, 100));
    RECT rect = {};
    GetWindowRect(window, &rect);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), rect.right - rect.left);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), rect.bottom - rect.top);
    PostMessageW(window, WM_KEYDOWN, VK_F11, 0);
    EXPECT_TRUE(waitUntil([&] { return framed(window); }, 30000, 100));

    PostMessageW(window, WM_KEYDOWN, '2', 0);
    EXPECT_TRUE(owner.waitForState(1, 90000, 2));
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    const DebugRun run = running.get();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(0u, run.exitCode);

    std::string record;
    for (const ReceivedCopyData& data : owner.received()) {
        if (data.command == 2)
            record = data.payload;
    }
    ASSERT_EQ(36u, record.size());
    EXPECT_EQ(0, std::memcmp(record.data(), "QOPK", 4));
    EXPECT_STREQ("seat", record.c_str() + 20);

    EXPECT_EQ(std::vector<std::string>({"qo|qmInit scene=chair\n", "qo|qmInit scene=spinner\n"}),
              run.linesStartingWith("qo|qmInit"));
    // Each start draws at the window's own size first; a slower machine then
    // steps down, never above the window's size.
    const std::vector<RenderSize> sizes = renderSizes(run);
    ASSERT_FALSE(sizes.empty());
    EXPECT_TRUE(fullScale(sizes.front()));
    EXPECT_EQ(640, sizes.front().clientWidth);
    for (const RenderSize& size : sizes) {
        EXPECT_LE(size.backWidth, size.clientWidth);
        EXPECT_LE(size.backHeight, size.clientHeight);
    }
    bool resetLogged = false;
    for (const std::string& line : run.lines)
        resetLogged |= line.find("QMStandAlone::_reset:incompatible parameters:") != std::string::npos &&
                       line.find("new:{") != std::string::npos && line.find("scene=2}") != std::string::npos;
    EXPECT_TRUE(resetLogged);
}

// "-qo_scale full" (what scripts/demo's screenshot uses) keeps the window's
// own resolution with 2x2 samples however long the frames take: here also
// full screen, the largest the screen allows.
TEST(DemoProduct, FullScaleParameterKeepsTheWindowsOwnResolution) {
    HostFixture host("e2edemofull");
    OwnerWindow owner;
    auto running = host.start("-owner " + owner.handleText() + " -resolution 800x600 -scene 2 -qo_scale full", "qo",
                              180000);
    ASSERT_TRUE(owner.waitForState(1, 90000));
    HWND window = host.waitForWindow();
    ASSERT_NE(nullptr, window);
    EXPECT_TRUE(waitUntil([&] { return distinctClientColours(window) >= 16; }, 30000, 100));

    PostMessageW(window, WM_KEYDOWN, VK_F11, 0);
    EXPECT_TRUE(waitUntil([&] { return !framed(window); }, 30000, 100));
    // The key help and the ground's gradient at the bottom of the screen: a
    // frame of the full screen's size has been drawn.
    EXPECT_TRUE(waitUntil([&] { return distinctColours(captureClientBottom(window, 40)) >= 16; }, 30000, 100));
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
    const DebugRun run = running.get();
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(0u, run.exitCode);

    const std::vector<RenderSize> sizes = renderSizes(run);
    ASSERT_FALSE(sizes.empty());
    bool screenSized = false;
    for (const RenderSize& size : sizes) {
        EXPECT_TRUE(fullScale(size)) << size.clientWidth << "x" << size.clientHeight << " drawn at " << size.backWidth
                                     << "x" << size.backHeight << " with " << size.samples << "x" << size.samples;
        screenSized |= size.clientWidth == GetSystemMetrics(SM_CXSCREEN) &&
                       size.clientHeight == GetSystemMetrics(SM_CYSCREEN);
    }
    EXPECT_TRUE(screenSized);
}

}  // namespace
