// The host's launch platform on the real system: its warnings are real boxes,
// its windows are real windows, its language is the user's locale.
#include "command_line.h"
#include "launch_platform.h"
#include "launch_record.h"
#include "message_box_watcher.h"
#include "window_handle_number.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

TEST(WindowsLaunchPlatform, WarningsAreOwnerlessWarningBoxesInOrder) {
    MessageBoxWatcher watcher;
    qm::LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseLaunchText(record, "-product -positionTool poi -client ..\\..\\x -scene 4",
                        qm::windowsLaunchPlatform());
    watcher.stop();

    EXPECT_EQ(4, record.scene) << "the parse goes on after each box";
    EXPECT_EQ("QUORVELMEET", record.client);
    const auto boxes = watcher.boxes();
    const char* const expected[] = {"Empty parameter: product", "Wrong positiniong tool parameter",
                                    "Wrong positioning id parameter", "Invalid parameter: client"};
    ASSERT_EQ(4u, boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(expected[i], boxes[i].text);
        EXPECT_EQ("Warning", boxes[i].caption);
        EXPECT_EQ(BoxIcon::Warning, boxes[i].icon);
        EXPECT_EQ(nullptr, boxes[i].owner);
        EXPECT_FALSE(boxes[i].topmost);
        EXPECT_EQ(1u, boxes[i].buttons.size());
    }
}

TEST(WindowsLaunchPlatform, OwnerMustNameAnExistingWindow) {
    HWND window = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    const std::string number = std::to_string(qm::windowHandleNumber(window));
    const std::string text = "-owner " + number;

    qm::LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseLaunchText(record, text.c_str(), qm::windowsLaunchPlatform());
    EXPECT_EQ(window, record.owner);

    DestroyWindow(window);
    qm::LaunchParameters after = qm::defaultLaunchParameters();
    qm::parseLaunchText(after, text.c_str(), qm::windowsLaunchPlatform());
    EXPECT_EQ(nullptr, after.owner);
}

// ctest runs this test once per locale and names the language it expects.
TEST(WindowsLaunchPlatform, LanguageIsTheUserLocales) {
    const char* expected = std::getenv("QM_EXPECTED_LANGUAGE");
    if (!expected)
        GTEST_SKIP() << "QM_EXPECTED_LANGUAGE not set";
    qm::LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseLaunchText(record, "-scene 1", qm::windowsLaunchPlatform());
    EXPECT_EQ(expected, record.language);
}

}  // namespace
