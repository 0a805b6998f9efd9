#include "main_window_proc.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "log_capture.h"
#include "message_pump.h"
#include "private_messages.h"
#include "product_double.h"
#include "qm_standalone.h"

namespace {

using Calls = std::vector<std::string>;

class MainWindowProc : public testing::Test {
protected:
    void SetUp() override {
        window = createMainWindowForTest();
        ASSERT_NE(nullptr, window);
    }
    void TearDown() override {
        if (IsWindow(window))
            DestroyWindow(window);
        pumpMessagesFor(20);  // the quit message of WM_DESTROY
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    LRESULT send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageW(window, message, wParam, lParam);
    }
    LogCapture log{kDefaultLogMask};
    HWND window = nullptr;
};

TEST_F(MainWindowProc, DraggingTheFrameResizesTheProductOnceAtTheEnd) {
    BoundProduct product;
    send(WM_ENTERSIZEMOVE);
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 100));
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(200, 150));
    EXPECT_EQ(Calls{}, productCalls.calls());
    SetWindowPos(window, nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);  // sends WM_SIZE too
    productCalls.clear();
    send(WM_EXITSIZEMOVE);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ((Calls{"qmResize " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + " 0"}),
              productCalls.calls());
    // Outside a drag every size change goes to the product.
    productCalls.clear();
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(320, 240));
    EXPECT_EQ(Calls{"qmResize 320x240 0"}, productCalls.calls());
}

TEST_F(MainWindowProc, ResizeCarriesTheFullScreenAnswerAndNeedsIt) {
    {
        BoundProduct product(nullptr, 5);
        send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(30, 20));
        EXPECT_EQ(Calls{"qmResize 30x20 1"}, productCalls.calls());
    }
    BoundProduct product;
    entryPoints.qmIsFullScreen.store(nullptr);
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(30, 20));
    EXPECT_EQ(Calls{}, productCalls.calls());
}

TEST_F(MainWindowProc, MinimiseAndRestoreReachTheLoop) {
    FakeLoop loop;
    BoundProduct product(&loop);
    send(WM_SIZE, SIZE_MINIMIZED, 0);
    send(WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    send(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(800, 600));
    EXPECT_EQ((Calls{"onMinimized", "onRestored", "qmResize 300x200 0", "qmResize 800x600 0"}), productCalls.calls());
}

TEST_F(MainWindowProc, AClickGivesTheFocusWhenTheProductHasNone) {
    FakeLoop loop;
    loop.focused = false;
    BoundProduct product(&loop);
    send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    const Calls calls = productCalls.calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ("onFocusGained", calls[calls.size() - 2]);
    EXPECT_EQ("qmWinEvent 0201 handled=0", calls.back());
    EXPECT_EQ(window, GetFocus());

    loop.focused = true;
    productCalls.clear();
    send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(Calls{"qmWinEvent 0204 handled=0"}, productCalls.calls());
}

TEST_F(MainWindowProc, ADoubleClickForwardsTheFirstPressAndBothReleases) {
    FakeLoop loop;
    BoundProduct product(&loop);
    send(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    send(WM_LBUTTONUP, 0, 0);
    send(WM_LBUTTONDBLCLK, MK_LBUTTON, 0);
    send(WM_LBUTTONUP, 0, 0);
    send(WM_XBUTTONDOWN, 0, 0);
    send(WM_MOUSEHWHEEL, 0, 0);
    EXPECT_EQ((Calls{"qmWinEvent 0201 handled=0", "qmWinEvent 0202 handled=0", "qmWinEvent 0202 handled=0"}),
              productCalls.calls());
}

TEST_F(MainWindowProc, FocusChangesAskTheLoop) {
    FakeLoop loop;
    BoundProduct product(&loop);
    send(WM_SETFOCUS);
    send(WM_KILLFOCUS);
    loop.focused = false;
    send(WM_KILLFOCUS);
    EXPECT_EQ((Calls{"onFocusGained", "onFocusLost"}), productCalls.calls());
}

TEST_F(MainWindowProc, TypedCharactersGoOutAsUtf8OneUnitAtATime) {
    BoundProduct product;
    send(WM_CHAR, 'a');
    send(WM_CHAR, 0x00E9);  // e with acute accent
    send(WM_CHAR, 0x20AC);  // euro sign
    send(WM_CHAR, 0xD83D);  // the two halves of U+1F600
    send(WM_CHAR, 0xDE00);
    const Calls calls = productCalls.calls();
    ASSERT_EQ(5u, calls.size());
    EXPECT_EQ("qmTextInput 61", calls[0]);
    EXPECT_EQ("qmTextInput c3a9", calls[1]);
    EXPECT_EQ("qmTextInput e282ac", calls[2]);
    // A lone surrogate has no UTF-8 form of its own: each half goes out by
    // itself as the replacement character, never combined into the four
    // bytes of U+1F600.
    EXPECT_EQ("qmTextInput efbfbd", calls[3]);
    EXPECT_EQ("qmTextInput efbfbd", calls[4]);
}

TEST_F(MainWindowProc, ExceptionsOfTheProductAreContained) {
    BoundProduct product;
    entryPoints.qmWinEvent.store([](HWND, UINT, WPARAM, LPARAM, int*) { throw "qmWinEvent not implemented"; });
    entryPoints.qmTextInput.store([](const char*) { throw std::runtime_error("boom"); });
    send(WM_KEYDOWN, 'A', 0);
    send(WM_CHAR, 'A', 0);
    EXPECT_EQ((std::vector<std::string>{"E|Exception from the product library: qmWinEvent not implemented\n",
                                        "E|Exception from the product library: unknown exception\n"}),
              log.lines());
}

TEST_F(MainWindowProc, EraseFillsBlackUntilTheProductRuns) {
    QMStandAlone application(GetModuleHandleW(nullptr), L"test");
    application.backgroundBrush.reset(CreateSolidBrush(RGB(0, 0, 0)));
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&application));
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 300);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, 400, 300};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

    EXPECT_EQ(0, send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory)));
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(memory, 10, 10));

    FakeLoop loop;
    BoundProduct product(&loop);
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(0, send(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory)));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(memory, 10, 10));

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}

TEST_F(MainWindowProc, CloseRefusedByTheProductKeepsTheWindow) {
    FakeLoop loop;
    loop.closable = false;
    BoundProduct product(&loop);
    entryPoints.qmStop.store([] { productCalls.add("qmStop"); });
    EXPECT_EQ(0, send(WM_CLOSE));
    pumpMessagesFor(100);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(Calls{"canClose"}, productCalls.calls());
}

TEST_F(MainWindowProc, CloseWithoutAProductDestroysAtOnce) {
    send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
}

std::atomic<HWND> windowSeenByStop{nullptr};
std::atomic<bool> windowAliveDuringStop{false};
std::atomic<DWORD> stopThread{0};

TEST_F(MainWindowProc, CloseStopsTheProductOnAWorkerBeforeTheWindowGoes) {
    FakeLoop loop;
    BoundProduct product(&loop);
    windowSeenByStop = window;
    entryPoints.qmStop.store([] {
        Sleep(100);
        windowAliveDuringStop = IsWindow(windowSeenByStop.load()) != FALSE;
        stopThread = GetCurrentThreadId();
        productCalls.add("qmStop");
    });
    EXPECT_EQ(0, send(WM_CLOSE));
    // A second request while the first is under way starts nothing.
    EXPECT_EQ(0, send(WM_CLOSE));
    EXPECT_TRUE(pumpMessagesUntil([&] { return !IsWindow(window); }, 5000));
    EXPECT_TRUE(windowAliveDuringStop);
    EXPECT_NE(GetCurrentThreadId(), stopThread.load());
    EXPECT_EQ(1u, productCalls.count("qmStop"));
}

TEST_F(MainWindowProc, ForgedPrivateMessagesAreIgnored) {
    FakeLoop loop;
    BoundProduct product(&loop);
    POINT notOurs = {1, 2};
    send(kPrivateMessage, kCloseWorkerDone, reinterpret_cast<LPARAM>(&notOurs));
    send(kPrivateMessage, kCloseWorkerDone, 0x12345678);
    send(kShowCursorMessage, reinterpret_cast<WPARAM>(&notOurs));
    send(kShowCursorMessage, 0x12345678);
    // No application object in the window: the update message does nothing.
    send(kPrivateMessage, kUpdateCheckDone, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(4u, log.lines().size());
    for (const std::string& line : log.lines())
        EXPECT_EQ("W|", line.substr(0, 2)) << line;
}

}  // namespace
