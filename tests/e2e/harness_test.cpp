#include "debug_harness.h"

#include <gtest/gtest.h>

namespace {

std::string probe(const std::string& args) {
    return "\"" + testBinaryDirectory() + "log_probe.exe\" " + args;
}

TEST(DebugHarness, DefaultMaskWritesWarningsAndErrorsInOrder) {
    const DebugRun run = runUnderDebugger(probe(""));
    ASSERT_TRUE(run.started);
    EXPECT_FALSE(run.timedOut);
    const std::vector<std::string> expected = {
        "W|probe warning three\n", "E|probe error abc\n", "W|after the box\n"};
    EXPECT_EQ(expected, run.lines);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("probe caption", run.boxes[0].caption);
    EXPECT_EQ("probe text", run.boxes[0].text);
    EXPECT_EQ(BoxIcon::Warning, run.boxes[0].icon);
    EXPECT_EQ(0u, run.exitCode);
}

struct FlagsCase {
    const char* flags;
    std::vector<std::string> lines;
};

class HarnessLogFlags : public testing::TestWithParam<FlagsCase> {};

TEST_P(HarnessLogFlags, MaskChoosesTheLinesThatArrive) {
    const DebugRun run = runUnderDebugger(probe(GetParam().flags));
    EXPECT_EQ(GetParam().lines, run.lines);
}

INSTANTIATE_TEST_SUITE_P(Masks, HarnessLogFlags, testing::Values(
    FlagsCase{"DIWE", {"D|probe debug 1\n", "I|probe info two\n", "W|probe warning three\n",
                       "E|probe error abc\n", "W|after the box\n"}},
    FlagsCase{"e", {"E|probe error abc\n"}},
    FlagsCase{"debug", {"D|probe debug 1\n", "E|probe error abc\n"}},
    FlagsCase{"0", {}}));

TEST(DebugHarness, ReportsTheExitCode) {
    const DebugRun run = runUnderDebugger(probe("e 42"));
    EXPECT_EQ(42u, run.exitCode);
    EXPECT_EQ(1u, run.boxes.size());
}

TEST(DebugHarness, ReportsAProgramThatCannotStart) {
    const DebugRun run = runUnderDebugger("\"" + testBinaryDirectory() + "no_such_program.exe\"");
    EXPECT_FALSE(run.started);
}

}  // namespace
