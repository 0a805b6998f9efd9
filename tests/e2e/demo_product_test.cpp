// The demo product (qo.dll) through the real host: it draws, answers a
// click with a record for the owner, and its keys reach the host's services.
#include <gtest/gtest.h>

#include "screen_pixels.h"

#include <algorithm>
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

size_t distinctClientColours(HWND window) {
    const std::vector<uint32_t> pixels = captureClient(window);
    return std::set<uint32_t>(pixels.begin(), pixels.end()).size();
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
    bool resetLogged = false;
    for (const std::string& line : run.lines)
        resetLogged |= line.find("QMStandAlone::_reset:incompatible parameters:") != std::string::npos &&
                       line.find("new:{") != std::string::npos && line.find("scene=2}") != std::string::npos;
    EXPECT_TRUE(resetLogged);
}

}  // namespace
