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

TEST(DebugHarness, AWatcherSeesEachLineAsItArrivesAndMayEndTheProgramThere) {
    std::vector<std::string> seen;
    std::vector<double> seconds;
    DebugRunOptions options;
    options.onLine = [&](const ArrivingLine& line) {
        seen.push_back(line.text);
        seconds.push_back(line.seconds);
        if (line.text == "E|probe error abc\n")
            TerminateProcess(line.process, 7);  // held at this line: nothing after it runs
    };
    const DebugRun run = runUnderDebugger(probe(""), options);
    const std::vector<std::string> expected = {"W|probe warning three\n", "E|probe error abc\n"};
    EXPECT_EQ(expected, seen);
    EXPECT_EQ(expected, run.lines);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(7u, run.exitCode);
    ASSERT_EQ(2u, seconds.size());
    EXPECT_GT(seconds[0], 0.0);
    EXPECT_LE(seconds[0], seconds[1]);
}

TEST(DebugHarness, ReportsAProgramThatCannotStart) {
    const DebugRun run = runUnderDebugger("\"" + testBinaryDirectory() + "no_such_program.exe\"");
    EXPECT_FALSE(run.started);
}

}  // namespace
