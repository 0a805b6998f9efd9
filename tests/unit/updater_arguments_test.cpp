#include "updater_arguments.h"
#include "updater_paths.h"
#include "updater_request.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdaterArguments, ParameterTextQuotesEveryValueButTheProduct) {
    EXPECT_EQ("-product quorvelmeet -product-name \"Quorvel Meet\" -src \"S\" -dst \"D\" -cmd 'C'",
              updaterParameterText({"quorvelmeet", "Quorvel Meet", "S", "D", "C"}));
    EXPECT_EQ("-product p -product-name \"\" -src \"S\" -dst \"D\" -cmd 'C'",
              updaterParameterText({"p", "", "S", "D", "C"}));
    EXPECT_EQ("-product p -product-name \"\" -src \"S\" -dst \"D\" -cmd 'C'",
              updaterParameterText({"p", nullptr, "S", "D", "C"}));
}

TEST(UpdaterArguments, ServiceGetsTenTextsAndBracesForAnEmptyName) {
    const std::vector<std::string> named = {"-product", "quorvelmeet", "-product-name",
                                            "Quorvel Meet", "-src", "S", "-dst", "D",
                                            "-cmd", "'C'"};
    EXPECT_EQ(named, updaterServiceArguments({"quorvelmeet", "Quorvel Meet", "S", "D", "C"}));
    for (const char* empty : {"", static_cast<const char*>(nullptr)}) {
        const std::vector<std::string> arguments =
            updaterServiceArguments({"p", empty, "S", "D", "C"});
        ASSERT_EQ(10u, arguments.size());
        EXPECT_EQ("{}", arguments[3]);
    }
    EXPECT_EQ("QM Updater Service - quorvelmeet", updaterServiceName("quorvelmeet"));
}

struct UnsafeCase {
    UpdaterValues values;
    const char* reason;  // null: safe
};

class UnsafeParameterText : public testing::TestWithParam<UnsafeCase> {};

TEST_P(UnsafeParameterText, NamesTheValueThatWouldChangeTheArguments) {
    EXPECT_STREQ(GetParam().reason, unsafeParameterTextReason(GetParam().values));
}

INSTANTIATE_TEST_SUITE_P(Values, UnsafeParameterText, testing::Values(
    UnsafeCase{{"p", "Name with 'apostrophe'", "C:\\s rc", "D", "x\" -y '"}, nullptr},
    UnsafeCase{{"p", "", "S", "D", "C"}, nullptr},
    UnsafeCase{{"p q", "N", "S", "D", "C"}, "the product holds a space, tab or line feed"},
    UnsafeCase{{"p\tq", "N", "S", "D", "C"}, "the product holds a space, tab or line feed"},
    UnsafeCase{{"p\nq", "N", "S", "D", "C"}, "the product holds a space, tab or line feed"},
    UnsafeCase{{"", "N", "S", "D", "C"}, "the product is empty"},
    UnsafeCase{{nullptr, "N", "S", "D", "C"}, "the product is empty"},
    UnsafeCase{{"p\"", "N", "S", "D", "C"}, "the product holds a double quote"},
    UnsafeCase{{"p", "N\" -dst \"C:\\x", "S", "D", "C"}, "the product name holds a double quote"},
    UnsafeCase{{"p", "N", "S\"", "D", "C"}, "the source holds a double quote"},
    UnsafeCase{{"p", "N", "S", "\"D", "C"}, "the destination holds a double quote"}));

// Whatever the host may send, the stand-in reads back exactly the values.
class ParameterTextRoundTrip : public testing::TestWithParam<UpdaterValues> {};

TEST_P(ParameterTextRoundTrip, StandInReadsBackEveryValue) {
    const UpdaterValues& values = GetParam();
    ASSERT_EQ(nullptr, unsafeParameterTextReason(values));
    UpdaterRequest request;
    std::string error;
    ASSERT_TRUE(parseUpdaterParameterText(updaterParameterText(values), request, error)) << error;
    EXPECT_EQ(values.product, request.product);
    EXPECT_EQ(values.productName, request.productName);
    EXPECT_EQ(values.src, request.src);
    EXPECT_EQ(values.dst, request.dst);
    EXPECT_EQ(values.cmd, request.cmd);
    EXPECT_EQ(0u, request.hostProcessId);

    std::vector<std::string> arguments = updaterServiceArguments(values);
    UpdaterRequest fromService;
    ASSERT_TRUE(parseUpdaterServiceArguments(arguments, fromService, error)) << error;
    EXPECT_EQ(values.productName, fromService.productName);
    EXPECT_EQ(values.cmd, fromService.cmd);
    EXPECT_EQ(values.dst, fromService.dst);
}

INSTANTIATE_TEST_SUITE_P(Values, ParameterTextRoundTrip, testing::Values(
    UpdaterValues{"quorvelmeet", "Quorvel Meet", "C:\\Staged Update", "C:\\Program Files\\Q\\",
                  "\"C:\\Program Files\\Q\\quorvelmeet.exe\" -product quorvelmeet"},
    UpdaterValues{"p", "", "S", "D", "C"},
    UpdaterValues{"p", "it's -cmd 'x'", "-src", "-dst", "host.exe -a 'b' -dst \"C:\\evil\" '"},
    UpdaterValues{"p'q", "N", "S\tT", "D\nE", ""}));

struct ParseFailure {
    const char* text;
    const char* error;
};

class ParameterTextRejected : public testing::TestWithParam<ParseFailure> {};

TEST_P(ParameterTextRejected, SaysWhy) {
    UpdaterRequest request;
    std::string error;
    EXPECT_FALSE(parseUpdaterParameterText(GetParam().text, request, error));
    EXPECT_EQ(GetParam().error, error);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParameterTextRejected, testing::Values(
    ParseFailure{"-product p -src \"S\" -dst \"D\"", "no -cmd"},
    ParseFailure{"-product p -src \"S -dst \"D\" -cmd 'C'", "unknown option D\""},
    ParseFailure{"-product p -src \"S\" -dst \"D -cmd 'C'", "unclosed quote after -dst"},
    ParseFailure{"-product p -src \"S\" -dst \"D\" -cmd C", "-cmd is not between apostrophes"},
    ParseFailure{"-product p -src \"S\" -dst \"D\" -cmd '", "-cmd is not between apostrophes"},
    ParseFailure{"-product p -src \"S\" -dst \"D\" -pid 12x -cmd 'C'", "bad process id 12x"},
    ParseFailure{"-product -product-name \"N\" -src \"S\" -dst \"D\" -cmd 'C'", "unknown option N"},
    ParseFailure{"-product-name \"N\" -src \"S\" -dst \"D\" -cmd 'C'", "no -product"}));

TEST(UpdaterRequest, TakesAProcessIdToWaitFor) {
    UpdaterRequest request;
    std::string error;
    ASSERT_TRUE(parseUpdaterParameterText(
        "-product p -product-name \"\" -src \"S\" -dst \"D\" -pid 4242 -cmd 'C'", request, error));
    EXPECT_EQ(4242u, request.hostProcessId);
}

TEST(UpdaterRequest, ServiceArgumentsNeedTheCommandBetweenApostrophes) {
    UpdaterRequest request;
    std::string error;
    EXPECT_FALSE(parseUpdaterServiceArguments(
        {"-product", "p", "-product-name", "{}", "-src", "S", "-dst", "D", "-cmd", "C"}, request,
        error));
    EXPECT_EQ("-cmd is not between apostrophes", error);
    EXPECT_FALSE(parseUpdaterServiceArguments({"-product", "p", "-cmd"}, request, error));
}

TEST(UpdaterRequest, SplitsACommandLineIntoProgramAndParameters) {
    EXPECT_EQ("C:\\Q R\\host.exe", programOfCommandLine("\"C:\\Q R\\host.exe\" -a 'b'"));
    EXPECT_EQ("-a 'b'", parametersOfCommandLine("\"C:\\Q R\\host.exe\"  -a 'b'"));
    EXPECT_EQ("C:\\Q\\host.exe", programOfCommandLine("C:\\Q\\host.exe -a"));
    EXPECT_EQ("-a", parametersOfCommandLine("C:\\Q\\host.exe -a"));
    EXPECT_EQ("", parametersOfCommandLine("host.exe"));
}

struct PathCase {
    const char* path;
    const char* directory;
};

class DirectoryOfPath : public testing::TestWithParam<PathCase> {};

TEST_P(DirectoryOfPath, KeepsTheLastSeparator) {
    EXPECT_EQ(GetParam().directory, directoryOfPath(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(Paths, DirectoryOfPath, testing::Values(
    PathCase{"C:\\Program Files\\Q\\quorvelmeet.exe", "C:\\Program Files\\Q\\"},
    PathCase{"C:/Q/a\\b/host.exe", "C:/Q/a\\"},
    PathCase{"C:/Q/host.exe", "C:/Q/"},
    PathCase{"\\host.exe", ""},
    PathCase{"/host.exe", ""},
    PathCase{"host.exe", ""}));

TEST(UpdaterPaths, FileInDirectoryAddsOneSeparator) {
    EXPECT_EQ("C:\\Temp\\qmUpdater.exe", fileInDirectory("C:\\Temp", "qmUpdater.exe"));
    EXPECT_EQ("C:\\Temp\\qmUpdater.exe", fileInDirectory("C:\\Temp\\", "qmUpdater.exe"));
    EXPECT_EQ("C:/Temp/qmUpdater.exe", fileInDirectory("C:/Temp/", "qmUpdater.exe"));
    EXPECT_EQ("qmUpdater.exe", fileInDirectory("", "qmUpdater.exe"));
}

TEST(UpdaterPaths, LogPathOnlyForAPlainFileName) {
    EXPECT_EQ("C:\\ProgramData\\Quorvel\\quorvelmeet\\qmUpdater.log",
              updaterLogPath("C:\\ProgramData", "quorvelmeet"));
    EXPECT_EQ("C:\\ProgramData\\Quorvel\\Quorvel Meet\\qmUpdater.log",
              updaterLogPath("C:\\ProgramData\\", "Quorvel Meet"));
    for (const char* hostile : {"", ".", "..", "..\\x", "a/b", "C:x", "a\"b", "a*", "a?", "a<b",
                                "a>b", "a|b", "a\nb", "a\tb"}) {
        EXPECT_EQ("", updaterLogPath("C:\\ProgramData", hostile)) << hostile;
    }
    EXPECT_EQ("", updaterLogPath("C:\\ProgramData", nullptr));
    EXPECT_EQ("C:\\ProgramData\\Quorvel\\..a\\qmUpdater.log", updaterLogPath("C:\\ProgramData", "..a"));
}

struct CompletionCase {
    const char* command;
    const char* directory;
    const char* completed;
};

class CommandCompletion : public testing::TestWithParam<CompletionCase> {};

TEST_P(CommandCompletion, PutsTheCurrentDirectoryBeforeACommandWithoutDrive) {
    EXPECT_EQ(GetParam().completed, completeCommandLine(GetParam().command, GetParam().directory));
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandCompletion, testing::Values(
    CompletionCase{"host.exe -a", "C:\\Q", "C:\\Q\\host.exe -a"},
    CompletionCase{"host.exe -a", "C:\\", "C:\\host.exe -a"},
    CompletionCase{"\"host.exe\" -a", "C:\\Q R", "\"C:\\Q R\\host.exe\" -a"},
    CompletionCase{"C:\\Q\\host.exe -a", "D:\\elsewhere", "C:\\Q\\host.exe -a"},
    CompletionCase{"host.exe quorvelmeet://launch/x", "C:\\Q", "host.exe quorvelmeet://launch/x"},
    CompletionCase{"host.exe -a", nullptr, "host.exe -a"},
    CompletionCase{"host.exe -a", "", "host.exe -a"}));

}  // namespace
