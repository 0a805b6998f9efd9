// The crash reporter's operations in process, called through the ordinal
// imports the host uses.
#include <windows.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <string>

#include "crash_reporter.h"

namespace {

std::string lastErrorText() {
    char text[CRASH_REPORTER_ERROR_TEXT_SIZE] = {};
    crashReporterLastErrorText(text, sizeof text);
    return text;
}

CrashReporterInstallInfo validRecord() {
    CrashReporterInstallInfo info = {};
    info.size = sizeof info;
    info.applicationName = "reporter test";
    info.flags = CRASH_HANDLER_ALL;
    return info;
}

HMODULE moduleOf(const void* address) {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCSTR>(address), &module);
    return module;
}

// The filter in place now, left in place.
LPTOP_LEVEL_EXCEPTION_FILTER currentFilter() {
    const LPTOP_LEVEL_EXCEPTION_FILTER current = SetUnhandledExceptionFilter(nullptr);
    SetUnhandledExceptionFilter(current);
    return current;
}

using SignalFunction = void(__cdecl*)(int);

SignalFunction currentSignalHandler(int signal) {
    const SignalFunction current = std::signal(signal, SIG_DFL);
    std::signal(signal, current);
    return current;
}

LONG WINAPI testFilter(EXCEPTION_POINTERS*) {
    return EXCEPTION_CONTINUE_SEARCH;
}

void __cdecl testSignalHandler(int) {}

class CrashReporterTest : public testing::Test {
protected:
    void SetUp() override {
        previousFilter_ = SetUnhandledExceptionFilter(testFilter);
        previousAbort_ = std::signal(SIGABRT, testSignalHandler);
    }
    void TearDown() override {
        crashReporterUninstall();
        SetUnhandledExceptionFilter(previousFilter_);
        std::signal(SIGABRT, previousAbort_);
    }

    const HMODULE reporter_ = GetModuleHandleA("CrashRpt1403.dll");

private:
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter_ = nullptr;
    SignalFunction previousAbort_ = nullptr;
};

TEST_F(CrashReporterTest, InstallTakesOverTheFilterAndUninstallGivesItBack) {
    ASSERT_NE(nullptr, reporter_);
    CrashReporterInstallInfo info = validRecord();
    ASSERT_EQ(0, crashReporterInstall(&info)) << lastErrorText();
    EXPECT_EQ("OK", lastErrorText());
    EXPECT_EQ(reporter_, moduleOf(reinterpret_cast<const void*>(currentFilter())));
    EXPECT_EQ(reporter_, moduleOf(reinterpret_cast<const void*>(currentSignalHandler(SIGABRT))));

    EXPECT_EQ(0, crashReporterUninstall()) << lastErrorText();
    EXPECT_EQ(&testFilter, currentFilter());
    EXPECT_EQ(&testSignalHandler, currentSignalHandler(SIGABRT));
}

TEST_F(CrashReporterTest, FlagsChooseTheHandlers) {
    CrashReporterInstallInfo info = validRecord();
    info.flags = CRASH_HANDLER_SIGSEGV;
    ASSERT_EQ(0, crashReporterInstall(&info)) << lastErrorText();
    EXPECT_EQ(&testFilter, currentFilter());
    EXPECT_EQ(&testSignalHandler, currentSignalHandler(SIGABRT));
    EXPECT_EQ(reporter_, moduleOf(reinterpret_cast<const void*>(currentSignalHandler(SIGSEGV))));
    EXPECT_EQ(0, crashReporterUninstall());
    EXPECT_NE(reporter_, moduleOf(reinterpret_cast<const void*>(currentSignalHandler(SIGSEGV))));
}

struct RefusedRecord {
    const char* name;
    WORD size;
    const char* debugHelpLibrary;
    const char* errorText;
};

class RefusedInstall : public CrashReporterTest, public testing::WithParamInterface<RefusedRecord> {};

TEST_P(RefusedInstall, LeavesTheFilterAndSaysWhy) {
    CrashReporterInstallInfo info = validRecord();
    info.size = GetParam().size;
    info.debugHelpLibrary = GetParam().debugHelpLibrary;
    EXPECT_NE(0, crashReporterInstall(&info));
    EXPECT_EQ(GetParam().errorText, lastErrorText());
    EXPECT_EQ(&testFilter, currentFilter());
    EXPECT_NE(0, crashReporterUninstall());
    EXPECT_EQ("The crash reporter is not installed.", lastErrorText());
}

INSTANTIATE_TEST_SUITE_P(Records, RefusedInstall, testing::Values(
    RefusedRecord{"Zero", 0, nullptr, "The install record's size is 0; it must be 104."},
    RefusedRecord{"OneShort", 103, nullptr, "The install record's size is 103; it must be 104."},
    RefusedRecord{"WithoutTheReservedTail", 96, nullptr, "The install record's size is 96; it must be 104."},
    RefusedRecord{"OneLong", 105, nullptr, "The install record's size is 105; it must be 104."},
    RefusedRecord{"NoSuchMinidumpWriter", 104, "C:\\no\\such\\dbghelp.dll",
                  "Unable to load the minidump writer C:\\no\\such\\dbghelp.dll."}),
    [](const testing::TestParamInfo<RefusedRecord>& info) { return std::string(info.param.name); });

TEST_F(CrashReporterTest, RefusesAMissingRecordAndASecondInstall) {
    EXPECT_NE(0, crashReporterInstall(nullptr));
    EXPECT_EQ("The install record is missing.", lastErrorText());
    CrashReporterInstallInfo info = validRecord();
    ASSERT_EQ(0, crashReporterInstall(&info));
    EXPECT_NE(0, crashReporterInstall(&info));
    EXPECT_EQ("The crash reporter is already installed.", lastErrorText());
}

TEST_F(CrashReporterTest, AttachmentsNeedAnInstalledReporter) {
    EXPECT_NE(0, crashReporterAddFile("C:\\x\\app.log", nullptr, "Log File", CRASH_FILE_MAKE_COPY));
    EXPECT_EQ("The crash reporter is not installed.", lastErrorText());
    EXPECT_NE(0, crashReporterAddScreenshot(CRASH_SCREENSHOT_MAIN_WINDOW, 0));
    EXPECT_EQ("The crash reporter is not installed.", lastErrorText());
}

struct Attachment {
    const char* path;
    const char* destinationName;
    const char* errorText;  // null: accepted
};

class AttachedFileNames : public CrashReporterTest, public testing::WithParamInterface<Attachment> {};

// A file's name in the report must stay inside the report folder and not
// take the name of another part of the report.
TEST_P(AttachedFileNames, AreCheckedWhenTheFileIsAdded) {
    CrashReporterInstallInfo info = validRecord();
    ASSERT_EQ(0, crashReporterInstall(&info));
    ASSERT_EQ(0, crashReporterAddFile("C:\\logs\\first.log", nullptr, "first", CRASH_FILE_MAKE_COPY));
    const Attachment& a = GetParam();
    const int result = crashReporterAddFile(a.path, a.destinationName, "second", CRASH_FILE_MAKE_COPY);
    if (a.errorText) {
        EXPECT_NE(0, result);
        EXPECT_EQ(a.errorText, lastErrorText());
    } else {
        EXPECT_EQ(0, result) << lastErrorText();
    }
}

INSTANTIATE_TEST_SUITE_P(Names, AttachedFileNames, testing::Values(
    Attachment{"C:\\logs\\second.log", nullptr, nullptr},
    Attachment{"C:\\logs\\first.log", "copy of first.log", nullptr},
    Attachment{"C:\\other\\FIRST.LOG", nullptr, "The report already has a file named \"FIRST.LOG\"."},
    Attachment{"C:\\logs\\a.log", "report.txt", "The report already has a file named \"report.txt\"."},
    Attachment{"C:\\logs\\a.log", "CrashDump.dmp", "The report already has a file named \"CrashDump.dmp\"."},
    Attachment{"C:\\logs\\a.log", "..", "\"..\" is not a plain file name."},
    Attachment{"C:\\logs\\a.log", "..\\..\\evil.dll", "\"..\\..\\evil.dll\" is not a plain file name."},
    Attachment{"C:\\logs\\a.log", "sub/evil.log", "\"sub/evil.log\" is not a plain file name."},
    Attachment{"C:\\logs\\a.log", "C:evil.log", "\"C:evil.log\" is not a plain file name."},
    Attachment{"C:\\logs\\a.log", "", "\"\" is not a plain file name."},
    Attachment{"C:\\logs\\", nullptr, "\"\" is not a plain file name."},
    Attachment{"", nullptr, "No file given."},
    Attachment{nullptr, nullptr, "No file given."}));

TEST_F(CrashReporterTest, ScreenshotIsOfTheMainWindowOnly) {
    CrashReporterInstallInfo info = validRecord();
    ASSERT_EQ(0, crashReporterInstall(&info));
    EXPECT_NE(0, crashReporterAddScreenshot(CRASH_SCREENSHOT_USER_REMOVABLE, 0));
    EXPECT_EQ("Only a screenshot of the main window is supported.", lastErrorText());
    EXPECT_EQ(0, crashReporterAddScreenshot(CRASH_SCREENSHOT_MAIN_WINDOW | CRASH_SCREENSHOT_USER_REMOVABLE, 0));
}

struct TextBuffer {
    UINT size;
    int result;
    const char* text;
};

class LastErrorTextBuffer : public CrashReporterTest, public testing::WithParamInterface<TextBuffer> {};

TEST_P(LastErrorTextBuffer, IsFilledWithinItsSize) {
    crashReporterInstall(nullptr);  // "The install record is missing."
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(GetParam().result, crashReporterLastErrorText(buffer, GetParam().size));
    EXPECT_STREQ(GetParam().text, buffer);
    EXPECT_EQ('#', buffer[GetParam().size]);  // nothing written past the size
}

INSTANTIATE_TEST_SUITE_P(Sizes, LastErrorTextBuffer, testing::Values(
    TextBuffer{1, 0, ""},
    TextBuffer{4, 3, "The"},
    TextBuffer{31, 30, "The install record is missing."},
    TextBuffer{40, 30, "The install record is missing."}));

TEST(CrashReporterLastErrorText, RefusesANullOrEmptyBuffer) {
    char buffer[4] = "abc";
    EXPECT_EQ(-1, crashReporterLastErrorText(nullptr, 10));
    EXPECT_EQ(-1, crashReporterLastErrorText(buffer, 0));
    EXPECT_STREQ("abc", buffer);
}

}  // namespace
