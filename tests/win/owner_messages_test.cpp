#include "owner_messages.h"

#include <gtest/gtest.h>

#include <cstring>

#include "host_state.h"
#include "log_capture.h"
#include "owner_window.h"
#include "product_double.h"
#include "qm_standalone.h"

namespace {

// A main window and an owner window, both real, with the host's globals
// pointing at them.
class OwnerMessages : public testing::Test {
protected:
    void SetUp() override {
        main = createMainWindowForTest(reinterpret_cast<LONG_PTR>(&application));
        mainWindow.store(main);
        ownerWindow.store(owner.handle());
        // The owner's thread answers within the host's time-out only once
        // it is running: wait for its first answer (emulation is slow).
        SendMessageW(owner.handle(), WM_NULL, 0, 0);
    }
    void TearDown() override {
        ownerWindow.store(nullptr);
        mainWindow.store(nullptr);
        DestroyWindow(main);
        MSG quit;
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    QMStandAlone application{GetModuleHandleW(nullptr), L"test"};
    OwnerWindow owner;
    HWND main = nullptr;
    LogCapture log{kLogDebug | kLogWarning | kLogError};
};

TEST_F(OwnerMessages, StateReportGoesToTheOwnerWithTheMainWindow) {
    reportState(kStateCheckingUpdates);
    const auto received = owner.received();
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(1u, received[0].command);
    EXPECT_EQ(main, received[0].sender);
    EXPECT_EQ(std::vector<int32_t>{6}, owner.states());
    EXPECT_EQ(std::vector<std::string>{"D|QMStandAlone:WM_COPYDATA SEND(1,4 bytes)\n"}, log.lines());
}

TEST_F(OwnerMessages, ProductRecordPassesThirtySixBytesUnchanged) {
    unsigned char block[36];
    for (int i = 0; i < 36; ++i)
        block[i] = static_cast<unsigned char>(i * 7);
    sendOwnerRecord(block);
    const auto received = owner.received();
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ(2u, received[0].command);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block), 36), received[0].payload);
}

TEST_F(OwnerMessages, NothingLeavesWithoutAnOwner) {
    ownerWindow.store(nullptr);
    reportState(kStateReady);
    EXPECT_TRUE(owner.received().empty());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(OwnerMessages, SetOwnerMakesTheSenderTheOwner) {
    ownerWindow.store(nullptr);
    EXPECT_EQ(1, owner.send(main, kCommandSetOwner, nullptr, 0));
    EXPECT_EQ(owner.handle(), ownerWindow.load());
    reportState(kStateStopped);
    EXPECT_EQ(std::vector<int32_t>{9}, owner.states());
}

TEST_F(OwnerMessages, DoResetReachesQmResetWithTheText) {
    BoundProduct product;
    const char text[] = "-scene 12";
    EXPECT_EQ(1, owner.send(main, kCommandDoReset, text, sizeof text));
    EXPECT_EQ(std::vector<std::string>{"qmReset -scene 12"}, productCalls.calls());
    EXPECT_EQ((std::vector<std::string>{"D|QMStandAlone:WM_COPYDATA RECEIVED(4,10 bytes)\n",
                                        "D|QMStandAlone:doReset: -scene 12\n"}),
              log.lines());
}

TEST_F(OwnerMessages, DoResetNeverReadsPastTheData) {
    BoundProduct product;
    // No terminator inside cbData: the text ends where the data ends.
    const char unterminated[] = {'-', 's', 'c', 'e', 'n', 'e', 'X', 'Y', 'Z'};
    EXPECT_EQ(1, owner.send(main, kCommandDoReset, unterminated, 6));
    EXPECT_EQ(1, owner.send(main, kCommandDoReset, nullptr, 0));
    EXPECT_EQ((std::vector<std::string>{"qmReset -scene", "qmReset "}), productCalls.calls());
}

TEST_F(OwnerMessages, DoResetWithoutABoundProductIsAnsweredAndDropped) {
    productCalls.clear();
    const char text[] = "-scene 1";
    EXPECT_EQ(1, owner.send(main, kCommandDoReset, text, sizeof text));
    EXPECT_TRUE(productCalls.calls().empty());
}

TEST_F(OwnerMessages, OtherCommandsAreRefused) {
    EXPECT_EQ(1, owner.send(main, kCommandNone, nullptr, 0));
    log.clear();
    EXPECT_EQ(0, owner.send(main, 7, nullptr, 0));
    EXPECT_EQ(0, owner.send(main, kCommandStateReport, "abcd", 4));
    EXPECT_EQ((std::vector<std::string>{"D|QMStandAlone:WM_COPYDATA RECEIVED(7,0 bytes)\n",
                                        "W|Unsupported InterProcessCommand: 7\n",
                                        "D|QMStandAlone:WM_COPYDATA RECEIVED(1,4 bytes)\n",
                                        "W|Unsupported InterProcessCommand: 1\n"}),
              log.lines());
}

TEST_F(OwnerMessages, AHungOwnerDelaysAReportByTheTimeOutOnly) {
    owner.setAnswerDelay(3000);
    const ULONGLONG start = GetTickCount64();
    reportState(kStateReady);
    const ULONGLONG elapsed = GetTickCount64() - start;
    // Not a speed target: without the time-out this would wait the full
    // three seconds of the hung owner.
    EXPECT_LT(elapsed, 2500u);
    owner.setAnswerDelay(0);
}

}  // namespace
