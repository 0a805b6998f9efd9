#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch_fields.h"
#include "launch_record.h"
#include "launch_parse_fixture.h"

namespace {

using launch_test::Extras;
using launch_test::Fields;
using launch_test::LaunchParse;
using launch_test::Warnings;
using qm::LaunchParameters;

struct CommandLineCase {
    const char* text;
    Fields fields;
    Extras extras;
    Warnings warnings;
};

class CommandLine : public LaunchParse, public testing::WithParamInterface<CommandLineCase> {};

TEST_P(CommandLine, FillsFieldsExtrasAndWarnings) {
    const CommandLineCase& c = GetParam();
    LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseLaunchText(record, c.text, platform);
    launch_test::expectFields(record, untouched(), c.fields, c.text);
    EXPECT_EQ(c.extras, record.extras) << c.text;
    EXPECT_EQ(c.warnings, platform.warnings) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Grammar, CommandLine, testing::Values(
    CommandLineCase{"-product abc -scene 12", {{"product", "abc"}, {"scene", "12"}},
                    {{"product", "abc"}, {"scene", "12"}}, {}},
    CommandLineCase{"", {}, {}, {}},
    CommandLineCase{"   \t \n ", {}, {}, {}},
    // Quoted values: separators inside become single spaces.
    CommandLineCase{"-title \"Two   words\"", {{"title", "Two words"}}, {{"title", "Two words"}}, {}},
    CommandLineCase{"-title \"abc\"-scene 5", {{"title", "abc"}, {"scene", "5"}},
                    {{"title", "abc"}, {"scene", "5"}}, {}},
    CommandLineCase{"-title \"abc\"xyz -scene 5", {{"title", "abc"}, {"scene", "5"}},
                    {{"title", "abc"}, {"scene", "5"}}, {}},
    CommandLineCase{"-title \"a b\"-scene 4", {{"title", "a b"}, {"scene", "4"}},
                    {{"title", "a b"}, {"scene", "4"}}, {}},
    CommandLineCase{"-title \"never  closed \t here -scene 3", {{"title", "never closed here -scene 3"}},
                    {{"title", "never closed here -scene 3"}}, {}},
    CommandLineCase{"-title \"", {}, {{"title", ""}}, {}},
    CommandLineCase{"-title \"\" -token \"a\"\"b\"", {{"token", "a"}}, {{"title", ""}, {"token", "a"}}, {}},
    CommandLineCase{"-title \"x\" stray -scene 3", {{"title", "x"}, {"scene", "3"}},
                    {{"title", "x"}, {"scene", "3"}}, {}},
    CommandLineCase{"-title a\"b\" c", {{"title", "a\"b\""}}, {{"title", "a\"b\""}}, {}},
    // Keys, empty values and stray tokens.
    CommandLineCase{"-a -b x", {}, {{"a", ""}, {"b", "x"}}, {}},
    CommandLineCase{"-scene -5", {}, {{"scene", ""}, {"5", ""}}, {"Empty parameter: scene"}},
    CommandLineCase{"-scene \"-5\"", {{"scene", "-5"}}, {{"scene", "-5"}}, {}},
    CommandLineCase{"stray -product x", {{"product", "x"}}, {{"product", "x"}}, {}},
    CommandLineCase{"-product x -product y", {{"product", "y"}}, {{"product", "y"}}, {}},
    CommandLineCase{"-", {}, {{"", ""}}, {}},
    CommandLineCase{"- x --y", {}, {{"", "x"}, {"-y", ""}}, {}},
    CommandLineCase{"-title\ta\n-scene\t7", {{"title", "a"}, {"scene", "7"}},
                    {{"title", "a"}, {"scene", "7"}}, {}},
    CommandLineCase{"-title a\rb -token\r", {{"title", "a\rb"}}, {{"title", "a\rb"}, {"token\r", ""}}, {}},
    CommandLineCase{"-Product x", {}, {{"Product", "x"}}, {}},
    CommandLineCase{"-language fr", {{"language", "fr"}}, {{"language", "fr"}}, {}},
    CommandLineCase{"-language", {}, {{"language", ""}}, {"Empty parameter: language"}},
    CommandLineCase{"-x 1 -y 2 -x 3", {}, {{"x", "3"}, {"y", "2"}}, {}}));

INSTANTIATE_TEST_SUITE_P(Values, CommandLine, testing::Values(
    CommandLineCase{"-product -state -client -scene -language -visitMode", {},
                    {{"product", ""}, {"state", ""}, {"client", ""}, {"scene", ""}, {"language", ""},
                     {"visitMode", ""}},
                    {"Empty parameter: product", "Empty parameter: state", "Empty parameter: client",
                     "Empty parameter: scene", "Empty parameter: language", "Empty parameter: visitMode"}},
    CommandLineCase{"-state beta -client C2 -visitMode 2", {{"state", "beta"}, {"client", "C2"}, {"visitMode", "2"}},
                    {{"state", "beta"}, {"client", "C2"}, {"visitMode", "2"}}, {}},
    CommandLineCase{"-scene abc", {{"scene", "0"}}, {{"scene", "abc"}}, {}},
    CommandLineCase{"-scene 12abc", {{"scene", "12"}}, {{"scene", "12abc"}}, {}},
    CommandLineCase{"-scene 99999999999", {{"scene", "2147483647"}}, {{"scene", "99999999999"}}, {}},
    CommandLineCase{"-title abc -title", {{"title", "abc"}}, {{"title", ""}}, {}},
    CommandLineCase{"-token abc -token", {}, {{"token", ""}}, {}},
    CommandLineCase{"-token abc", {{"token", "abc"}}, {{"token", "abc"}}, {}},
    CommandLineCase{"-owner 4660", {{"owner", "4660"}}, {{"owner", "4660"}}, {}},
    CommandLineCase{"-owner 4294971956", {{"owner", "4660"}}, {{"owner", "4294971956"}}, {}},
    CommandLineCase{"-owner 4660 -owner 77", {{"owner", "4660"}}, {{"owner", "77"}}, {}},
    CommandLineCase{"-owner 4660 -owner abc -owner", {{"owner", "4660"}}, {{"owner", ""}}, {}},
    CommandLineCase{"-owner 0", {}, {{"owner", "0"}}, {}},
    CommandLineCase{"-positionTool poi,7,1,2,3",
                    {{"pt.present", "true"}, {"pt.type", "1"}, {"pt.id", "7"}, {"pt.position", "1,2,3"}},
                    {{"positionTool", "poi,7,1,2,3"}}, {}}));

// The client names a library file and a folder that is removed: anything but
// a plain file name is refused, whoever chose it.
class ClientSafety : public LaunchParse, public testing::WithParamInterface<const char*> {};

TEST_P(ClientSafety, RefusesNamesThatAreNotPlainFileNames) {
    LaunchParameters record = qm::defaultLaunchParameters();
    const std::string value = GetParam();
    qm::parseCommandLine(record, ("-client \"" + value + "\" -scene 3").c_str(), platform);
    EXPECT_EQ("QUORVELMEET", record.client);
    EXPECT_EQ(3, record.scene);
    EXPECT_EQ(Warnings{"Invalid parameter: client"}, platform.warnings);
    EXPECT_EQ((Extras{{"client", value}, {"scene", "3"}}), record.extras);
}

INSTANTIATE_TEST_SUITE_P(Names, ClientSafety, testing::Values(
    "..\\..\\x", "../../x", "..", ".", "C:\\Windows\\System32\\x", "C:x", "/etc/x", "\\\\server\\share",
    "sub/dir", "a*", "a?b", "<a", "a>", "a|b", "\x01x", "a\rb"));

TEST_F(LaunchParse, AcceptsPlainClientNames) {
    for (const char* name : {"QUORVELMEET2", "my.client", "..a", "a..", "Ünïcode", "a b"}) {
        LaunchParameters record = qm::defaultLaunchParameters();
        qm::parseCommandLine(record, (std::string("-client \"") + name + "\"").c_str(), platform);
        EXPECT_EQ(name, record.client);
        EXPECT_EQ("QUORVELMEET", record.defaultClient);
    }
    EXPECT_TRUE(platform.warnings.empty());
}

TEST_F(LaunchParse, ClientFromAUrlIsCheckedToo) {
    LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseLaunchText(record, "qm://launch?client=..%5C..%5Cx", platform);
    EXPECT_EQ("QUORVELMEET", record.client);
    EXPECT_EQ(Warnings{"Invalid parameter: client"}, platform.warnings);
    EXPECT_EQ((Extras{{"client", "..\\..\\x"}}), record.extras);
}

TEST_F(LaunchParse, LanguageComesFromTheLocaleOrIsEnglish) {
    LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseCommandLine(record, "-language de", platform);
    EXPECT_EQ("de", record.language);

    platform.language = "";
    LaunchParameters unknown = qm::defaultLaunchParameters();
    qm::parseCommandLine(unknown, "", platform);
    EXPECT_EQ("en", unknown.language);

    platform.language = "fr";
    qm::parseCommandLine(unknown, "", platform);
    EXPECT_EQ("en", unknown.language) << "a language already set is kept";
}

TEST_F(LaunchParse, PruningKeepsOnlyTheFiveKeysIgnoringCase) {
    LaunchParameters record = qm::defaultLaunchParameters();
    record.extras = {{"log_flags", "d"}, {"CLOUD_INSTANCE", ""}, {"cache_file", "f"}, {"cache_files", "x"},
                     {"", "e"}, {"cache_data", "1"}, {"xcache_path", "2"}, {"Cache_Path", "3"},
                     {"no_crash_report", ""}, {"scene", "4"}};
    qm::parseCommandLine(record, "-a 1 -cache_file g", platform);
    EXPECT_EQ((Extras{{"CLOUD_INSTANCE", ""}, {"cache_file", "g"}, {"cache_data", "1"}, {"Cache_Path", "3"},
                      {"no_crash_report", ""}, {"a", "1"}}),
              record.extras);
}

// A record may hold a key twice (a product can write extras): a parameter
// updates the first element of its key, whatever case the others use.
TEST_F(LaunchParse, RepeatedKeyUpdatesItsFirstElement) {
    LaunchParameters record = qm::defaultLaunchParameters();
    record.extras = {{"cache_file", "a"}, {"CACHE_FILE", "b"}, {"cache_file", "c"}};
    qm::parseCommandLine(record, "-cache_file z -CACHE_FILE y", platform);
    EXPECT_EQ((Extras{{"cache_file", "z"}, {"CACHE_FILE", "y"}, {"cache_file", "c"}}), record.extras);
}

TEST_F(LaunchParse, ResetDropsLogFlagsAndKeepsCloudInstance) {
    LaunchParameters startUp = qm::defaultLaunchParameters();
    qm::parseLaunchText(startUp, "-log_flags DIWE -cloud_instance -scene 3 -positionTool poi,1 -owner 4660",
                        platform);
    LaunchParameters next = qm::carryOver(startUp);
    qm::parseLaunchText(next, "-title t", platform);
    EXPECT_EQ((Extras{{"cloud_instance", ""}, {"title", "t"}}), next.extras);
    EXPECT_EQ(nullptr, next.findExtra("log_flags"));
    EXPECT_TRUE(next.isCloudInstance());
    EXPECT_EQ(-1, next.scene);
    EXPECT_FALSE(next.positionTool.present);
    EXPECT_EQ(startUp.owner, next.owner);
}

TEST_F(LaunchParse, LogsTheTextAtDebugLevel) {
    LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseLaunchText(record, "-a  1", platform);
    qm::parseLaunchText(record, "x://launch?b=2", platform);
    EXPECT_EQ((std::vector<std::string>{"D|CommandLine:-a  1\n", "D|CommandLine:-b 2\n"}), log.lines());
}

TEST_F(LaunchParse, NullTextIsEmpty) {
    LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseLaunchText(record, nullptr, platform);
    launch_test::expectFields(record, untouched(), {}, "null");
}

// The parser's own copy of the text keeps it safe from the record it fills.
TEST_F(LaunchParse, TextMayLiveInTheRecordItFills) {
    LaunchParameters record = qm::defaultLaunchParameters();
    record.extras = {{"x", std::string(200, 'y') + " -title t"}};
    qm::parseCommandLine(record, record.extras[0].second.c_str(), platform);
    EXPECT_EQ("t", record.title);
}

// Separate arguments, as a program's argv holds them, joined into one command
// line: the parser gives each argument back, whole.
struct JoinCase {
    std::vector<std::string> arguments;
    const char* joined;
    Extras extras;
};

class JoinedArguments : public LaunchParse, public testing::WithParamInterface<JoinCase> {};

TEST_P(JoinedArguments, ReadBackOneArgumentPerToken) {
    const JoinCase& c = GetParam();
    std::string text = "untouched";
    ASSERT_TRUE(qm::joinLaunchArguments(c.arguments, text));
    EXPECT_EQ(c.joined, text);
    LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseCommandLine(record, text.c_str(), platform);
    EXPECT_EQ(c.extras, record.extras) << text;
}

INSTANTIATE_TEST_SUITE_P(Arguments, JoinedArguments, testing::Values(
    JoinCase{{}, "", {}},
    JoinCase{{"-title", "Two words", "-scene", "4"}, "-title \"Two words\" -scene 4",
             {{"title", "Two words"}, {"scene", "4"}}},
    JoinCase{{"-title", "tab\there", "-token", "line\nfeed"}, "-title \"tab\there\" -token \"line\nfeed\"",
             {{"title", "tab here"}, {"token", "line feed"}}},
    JoinCase{{"-title", " padded ", "-scene", "4"}, "-title \" padded \" -scene 4",
             {{"title", " padded "}, {"scene", "4"}}},
    // A value that starts with a minus sign would be a key: quoted inside
    // the argument, in the host's own way, it stays a value.
    JoinCase{{"-title", "-x y", "-scene", "\"-5\""}, "-title \"-x y\" -scene \"-5\"",
             {{"title", "-x y"}, {"scene", "-5"}}},
    JoinCase{{"-title", "", "-token", "a\"b"}, "-title \"\" -token a\"b", {{"title", ""}, {"token", "a\"b"}}},
    JoinCase{{"-cache_path", "C:\\Program Files (x86)\\Q"}, "-cache_path \"C:\\Program Files (x86)\\Q\"",
             {{"cache_path", "C:\\Program Files (x86)\\Q"}}}));

TEST(JoinLaunchArguments, RefusesAnArgumentWithAQuoteAndASeparator) {
    std::string text = "untouched";
    EXPECT_FALSE(qm::joinLaunchArguments({"-title", "say \"hi\""}, text));
    EXPECT_FALSE(qm::joinLaunchArguments({"-title", "\"a\tb\""}, text));
    EXPECT_EQ("untouched", text);
}

}  // namespace
