#include "debug_log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "log_capture.h"

namespace {

// Captures the lines at the default mask, and restores the sink and mask
// whatever a test did.
class DebugLog : public testing::Test {
protected:
    LogCapture log{kDefaultLogMask};
};

TEST_F(DebugLog, WritesLetterBarTextAndLineFeed) {
    debugLog(kLogWarning, "Unable to filter WM_COPYDATA!");
    debugLog(kLogError, "QMStandAlone::createWindow:%s,%d", "a", 7);
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("W|Unable to filter WM_COPYDATA!\n", lines[0]);
    EXPECT_EQ("E|QMStandAlone::createWindow:a,7\n", lines[1]);
}

struct MaskCase {
    uint32_t mask;
    uint32_t level;
    const char* expected;  // nullptr: nothing written
};

class DebugLogMask : public DebugLog, public testing::WithParamInterface<MaskCase> {};

TEST_P(DebugLogMask, FiltersAndTagsByLevel) {
    const MaskCase& c = GetParam();
    setLogMask(c.mask);
    debugLog(c.level, "x");
    if (c.expected) {
        ASSERT_EQ(1u, log.lines().size());
        EXPECT_EQ(c.expected, log.lines().front());
    } else {
        EXPECT_TRUE(log.lines().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, DebugLogMask, testing::Values(
    MaskCase{12, kLogDebug, nullptr},
    MaskCase{12, kLogInfo, nullptr},
    MaskCase{12, kLogWarning, "W|x\n"},
    MaskCase{12, kLogError, "E|x\n"},
    MaskCase{15, kLogDebug, "D|x\n"},
    MaskCase{15, kLogInfo, "I|x\n"},
    MaskCase{0xFFFFFFFF, 0, nullptr},   // level 0 never writes
    MaskCase{1, 3, "?|x\n"},            // combined levels are tagged '?'
    MaskCase{12, 3, nullptr},
    MaskCase{12, 12, "?|x\n"},
    MaskCase{0xFFFFFFFF, 16, "?|x\n"},
    MaskCase{0, kLogError, nullptr}));

TEST_F(DebugLog, CutsTextsAt1020Characters) {
    const std::string exact(1020, 'a');
    debugLog(kLogError, "%s", exact.c_str());
    debugLog(kLogError, "%s", (exact + "b").c_str());
    debugLog(kLogError, "%s", std::string(5000, 'c').c_str());
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ("E|" + exact + "\n", lines[0]);
    EXPECT_EQ(1023u, lines[0].size());
    EXPECT_EQ(lines[0], lines[1]);  // the 1021st character is dropped
    EXPECT_EQ(1023u, lines[2].size());
    EXPECT_EQ('\n', lines[2].back());
}

TEST_F(DebugLog, FormattingErrorWritesTheFallbackText) {
    // A wide character with no byte form in the C locale makes the
    // conversion fail.
    const wchar_t unencodable[] = {0xD800, 0};
    if (std::snprintf(nullptr, 0, "%ls", unencodable) >= 0)
        GTEST_SKIP() << "this C library formats unencodable characters without an error";
    debugLog(kLogError, "%ls", unencodable);
    debugLog(kLogWarning, "%ls", unencodable);
    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("E|*** log error ***\n", lines[0]);
    EXPECT_EQ("W|*** log error ***\n", lines[1]);
}

struct FlagsCase {
    const char* value;
    uint32_t mask;
};

class LogFlags : public DebugLog, public testing::WithParamInterface<FlagsCase> {};

TEST_P(LogFlags, LettersAnywhereBuildTheMask) {
    setLogMask(0x55);
    applyLogFlags(GetParam().value);
    EXPECT_EQ(GetParam().mask, logMask()) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, LogFlags, testing::Values(
    FlagsCase{"IWE", 14},
    FlagsCase{"we", 12},
    FlagsCase{"f", 8},
    FlagsCase{"F", 8},
    FlagsCase{"debug", 9},
    FlagsCase{"DIWE", 15},
    FlagsCase{"e", 8},
    FlagsCase{"", 0},
    FlagsCase{"all", 0},
    FlagsCase{"0", 0},
    FlagsCase{"xyz w", 4}));

TEST_F(DebugLog, EmptyFlagsSilenceEvenErrors) {
    applyLogFlags("");
    debugLog(kLogError, "gone");
    EXPECT_TRUE(log.lines().empty());
}

}  // namespace
