// The logging library stand-in, loaded as the host loads it (rbase.dll and
// rmain.dll imported at load time).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <regex>

#include "logging/file_appender.h"
#include "logging/logger.h"
#include "recording_appender.h"
#include "test_files.h"
#include "updater_log_file.h"

namespace {

using logging::FileAppender;
using logging::Level;
using logging::Logger;
using logging::SimpleLayout;

class LoggingLibrary : public testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(0u, logger->getAppenderCount()); }
    void TearDown() override { logger->clearAppenders(); }

    FileAppender* fileAppender(const std::string& path, FileAppender::Mode mode = FileAppender::Append,
                               unsigned maxBytes = 0xFFFFFFFF) {
        return new FileAppender(path.c_str(), mode, maxBytes, new SimpleLayout(63, '|'));
    }

    Logger* logger = Logger::getLogger();
    TemporaryFolder folder{"logging"};
};

TEST_F(LoggingLibrary, FileAppenderWritesEachLineWithItsLevelCreatingTheFolders) {
    const std::string path = folder.path() + "\\one\\two\\updater.log";
    logger->attach(fileAppender(path));
    EXPECT_EQ(1u, logger->getAppenderCount());
    logger->warn("plain warning");
    logger->errorf("formatted %s (%d)", 2, "error", 1060);
    logger->warnf("count %s does not match %d", 1, "x");
    logger->clearAppenders();
    EXPECT_EQ(0u, logger->getAppenderCount());
    logger->error("after the appender left");

    const std::vector<UpdaterLogEntry> expected = {
        {"WARN", "plain warning"},
        {"ERROR", "formatted error (1060)"},
        {"WARN", "count %s does not match %d"}};
    EXPECT_EQ(expected, readUpdaterLog(path));

    const std::string firstLine = readWholeFile(path).substr(0, readWholeFile(path).find('\n'));
    const std::regex shape(R"(\d{4}-\d\d-\d\d\|\d\d:\d\d:\d\d\.\d{3}\|(\d+)\|(\d+)\|WARN\|plain warning)");
    std::smatch fields;
    ASSERT_TRUE(std::regex_match(firstLine, fields, shape)) << firstLine;
    EXPECT_EQ(std::to_string(GetCurrentProcessId()), fields[1].str());
    EXPECT_EQ(std::to_string(GetCurrentThreadId()), fields[2].str());
}

TEST_F(LoggingLibrary, EveryAttachedAppenderGetsEveryLineAndIsFreedWhenCleared) {
    std::vector<std::string> first, second;
    bool firstFreed = false, secondFreed = false;
    logger->attach(new RecordingAppender(&first, &firstFreed));
    logger->attach(new RecordingAppender(&second, &secondFreed));
    EXPECT_EQ(2u, logger->getAppenderCount());
    logger->error("both");
    logger->clearAppenders();
    EXPECT_TRUE(firstFreed);
    EXPECT_TRUE(secondFreed);
    EXPECT_EQ(std::vector<std::string>{"ERROR|both"}, first);
    EXPECT_EQ(first, second);
}

TEST_F(LoggingLibrary, ALineBreakInAValueStaysInsideItsLine) {
    const std::string path = folder.path() + "\\breaks.log";
    logger->attach(fileAppender(path));
    logger->errorf("service %s", 1, "a\r\n2026-01-01|00:00:00.000|1|1|ERROR|forged");
    logger->clearAppenders();
    EXPECT_EQ((std::vector<UpdaterLogEntry>{
                  {"ERROR", "service a\\r\\n2026-01-01|00:00:00.000|1|1|ERROR|forged"}}),
              readUpdaterLog(path));
}

TEST_F(LoggingLibrary, LoggingLeavesTheCallersLastErrorAlone) {
    logger->attach(fileAppender(folder.path() + "\\new\\error.log"));
    SetLastError(1234);
    logger->warnf("line %d", 1, 1);
    EXPECT_EQ(1234u, GetLastError());
    logger->clearAppenders();
    EXPECT_EQ(1234u, GetLastError());
}

TEST_F(LoggingLibrary, AppendKeepsAndTruncateEmptiesTheFile) {
    const std::string path = folder.path() + "\\modes.log";
    folder.writeFile("modes.log", "earlier line\n");
    logger->attach(fileAppender(path, FileAppender::Append));
    logger->warn("appended");
    logger->clearAppenders();
    const std::vector<UpdaterLogEntry> kept = {{"?", "earlier line"}, {"WARN", "appended"}};
    EXPECT_EQ(kept, readUpdaterLog(path));

    logger->attach(fileAppender(path, FileAppender::Truncate));
    logger->warn("alone");
    logger->clearAppenders();
    EXPECT_EQ((std::vector<UpdaterLogEntry>{{"WARN", "alone"}}), readUpdaterLog(path));
}

TEST_F(LoggingLibrary, ALineThatWouldPassTheSizeLimitStartsTheFileAnew) {
    const std::string path = folder.path() + "\\limited.log";
    logger->attach(fileAppender(path, FileAppender::Append, 150));
    logger->warn("first line, long enough to fill most of the limit");
    logger->warn("second line, which does not fit after the first");
    logger->clearAppenders();
    EXPECT_EQ((std::vector<UpdaterLogEntry>{{"WARN", "second line, which does not fit after the first"}}),
              readUpdaterLog(path));
}

struct LayoutCase {
    unsigned fields;
    char separator;
    const char* pattern;
};

class SimpleLayoutFields : public testing::TestWithParam<LayoutCase> {};

TEST_P(SimpleLayoutFields, WritesTheChosenFieldsInOrderAndTheTextLast) {
    const SimpleLayout layout(GetParam().fields, GetParam().separator);
    char line[256];
    const std::size_t length = layout.format(Level::Error, "the text", line, sizeof line);
    EXPECT_EQ(std::strlen(line), length);
    EXPECT_TRUE(std::regex_match(std::string(line), std::regex(GetParam().pattern))) << line;
}

INSTANTIATE_TEST_SUITE_P(Masks, SimpleLayoutFields, testing::Values(
    LayoutCase{0, '|', "the text\n"},
    LayoutCase{SimpleLayout::LevelName, '|', "ERROR\\|the text\n"},
    LayoutCase{SimpleLayout::Date | SimpleLayout::LevelName, ';', "\\d{4}-\\d\\d-\\d\\d;ERROR;the text\n"},
    LayoutCase{SimpleLayout::Time, '|', "\\d\\d:\\d\\d:\\d\\d\\|the text\n"},
    LayoutCase{SimpleLayout::Time | SimpleLayout::Milliseconds, '|', "\\d\\d:\\d\\d:\\d\\d\\.\\d{3}\\|the text\n"},
    LayoutCase{SimpleLayout::ProcessId | SimpleLayout::ThreadId, ' ', "\\d+ \\d+ the text\n"}));

TEST(SimpleLayout, ACutLineStillEndsWithItsLineFeed) {
    const SimpleLayout layout(SimpleLayout::LevelName, '|');
    char line[12];
    const std::size_t length = layout.format(Level::Warning, "a text far too long", line, sizeof line);
    EXPECT_EQ(11u, length);
    EXPECT_STREQ("WARN|a tex\n", line);
}

TEST(FormatValueCount, CountsWhatPrintfWouldRead) {
    struct { const char* format; unsigned values; } cases[] = {
        {"no values", 0}, {"100%%", 0}, {"%d", 1}, {"%s (%d)", 2}, {"%-10.3s|%lu|%I64d", 3},
        {"%*d", 2}, {"%.*s %%d", 2}, {"trailing %", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.values, logging::countFormatValues(c.format)) << c.format;
}

}  // namespace
