#include "message_box_watcher.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(MessageBoxWatcher, ReadsAndAnswersRealBoxes) {
    MessageBoxWatcher watcher;
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "First line\nsecond line", "Warning", MB_ICONWARNING));
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Broken", "ERROR", MB_ICONERROR | MB_SYSTEMMODAL));

    const auto boxes = watcher.boxes();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Warning", boxes[0].caption);
    EXPECT_EQ("First line\nsecond line", boxes[0].text);
    EXPECT_EQ(BoxIcon::Warning, boxes[0].icon);
    EXPECT_FALSE(boxes[0].topmost);
    EXPECT_EQ("ERROR", boxes[1].caption);
    EXPECT_EQ(BoxIcon::Error, boxes[1].icon);
    EXPECT_TRUE(boxes[1].topmost);
}

TEST(MessageBoxWatcher, RecordsTheOwnerWindow) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    MessageBoxWatcher watcher;
    MessageBoxA(owner, "Owned", "Information", MB_ICONINFORMATION);
    const auto boxes = watcher.boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(owner, boxes[0].owner);
    EXPECT_EQ(BoxIcon::Information, boxes[0].icon);
    DestroyWindow(owner);
}

TEST(MessageBoxWatcher, AnswersBoxesWithoutOkAndBoxesOfOtherThreads) {
    MessageBoxWatcher watcher;
    int answer = 0;
    std::thread other([&] { answer = MessageBoxA(nullptr, "Continue?", "Question", MB_YESNO | MB_ICONQUESTION); });
    other.join();
    // Without an OK button the watcher presses the first one.
    EXPECT_EQ(IDYES, answer);
    const auto boxes = watcher.boxes();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(BoxIcon::Question, boxes[0].icon);
    EXPECT_EQ((std::vector<std::string>{"&Yes", "&No"}), boxes[0].buttons);
}

}  // namespace
