#include "universal_url.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_line.h"
#include "launch_fields.h"
#include "launch_record.h"
#include "launch_parse_fixture.h"

namespace {

using launch_test::Extras;

struct UrlCase {
    const char* url;
    const char* arguments;  // nullptr: neither shape
};

class UrlArguments : public testing::TestWithParam<UrlCase> {};

TEST_P(UrlArguments, BecomeThisArgumentText) {
    std::string arguments;
    const bool understood = qm::universalUrlToArguments(GetParam().url, arguments);
    if (!GetParam().arguments) {
        EXPECT_FALSE(understood) << GetParam().url;
        EXPECT_EQ("", arguments);
    } else {
        EXPECT_TRUE(understood) << GetParam().url;
        EXPECT_EQ(GetParam().arguments, arguments) << GetParam().url;
    }
}

INSTANTIATE_TEST_SUITE_P(CommandWord, UrlArguments, testing::Values(
    UrlCase{"qm://launch?product=abc&scene=5", "-product abc -scene 5"},
    UrlCase{"qm://open/?title=%22Two%20words%22", "-title \"Two words\""},
    UrlCase{"qm://open?title=Two%20words", "-title Two words"},
    UrlCase{"qm://launch", ""},
    UrlCase{"qm://launch///", ""},
    UrlCase{"qm://launch?", ""},
    UrlCase{"://open?a", "-a"},
    UrlCase{"qm://launch?a=1&amp;b=2", "-a 1 -b 2"},
    UrlCase{"qm://launch?a=1&&b=2", "-a 1"},
    UrlCase{"qm://launch?&a=1", ""},
    UrlCase{"qm://launch?a=1&amp;&b=2", "-a 1"},
    UrlCase{"qm://launch?a=1&", "-a 1"},
    UrlCase{"qm://launch?=5&b", "-b"},
    UrlCase{"qm://launch?a=&b==c", "-a -b =c"},
    UrlCase{"qm://launch?t=a%2Cb", "-t a%2Cb"},
    UrlCase{"qm://launch?t=%3Cb%3E", "-t <b>"},
    UrlCase{"qm://launch?t=%41&k%20ey=1", "-t %41 -k%20ey 1"},
    UrlCase{"qm://launch?a=x\"", "-a x\""},
    UrlCase{"\"qm://launch?a=x\"", "-a x\""},
    UrlCase{"\"qm://launch\"", nullptr},
    UrlCase{"qm://Launch?a=1", nullptr},
    UrlCase{"qm://launching?a=1", nullptr}));

INSTANTIATE_TEST_SUITE_P(PathShape, UrlArguments, testing::Values(
    UrlCase{"qm://host/launch/QUORVELMEET/12?language=es", "-client QUORVELMEET -scene 12 -language es"},
    UrlCase{"qm://host/open/QUORVELMEET/es", "-client QUORVELMEET -language es"},
    UrlCase{"qm://host/launch/C/-7x", "-client C -scene -7x"},
    UrlCase{"qm://host/launch/C/+", "-client C -language +"},
    UrlCase{"qm://host/launch/C/7/fr", "-client C -scene 7 -language fr"},
    UrlCase{"qm://host/launch/C/x/fr", "-client C -scene x -language fr"},
    UrlCase{"qm://host/launch/C/7/fr/x", "-client C"},
    UrlCase{"qm://host/launch//C///7/", "-client C -scene 7"},
    UrlCase{"qm://host/launch", ""},
    UrlCase{"qm://host/launch?a=1", "-a 1"},
    UrlCase{"qm://host/launch/?a=1", "-a 1"},
    UrlCase{"qm://launch/C?visitMode=2", "-client C -visitMode 2"},
    UrlCase{"qm://host/launcher/C", nullptr},
    UrlCase{"qm://host/opener/C", nullptr},
    UrlCase{"qm://host/launcher/C/open/D", "-client D"},
    UrlCase{"qm://host/launcher/x/launch/C", nullptr},
    UrlCase{"qm://host/page?next=/launch/C", "-client C"},
    UrlCase{"qm://host/open/C%2F..%5Cx/es", "-client C%2F..%5Cx -language es"},
    UrlCase{"qm://host/open/C\"", "-client C\""},
    UrlCase{"qm://host/nothing", nullptr},
    UrlCase{"no scheme /launch/C", "-client C"}));

struct DecodeCase {
    std::string value;
    std::string decoded;
};

class DecodeQueryValue : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeQueryValue, DecodesAllButTheKeptEscapes) {
    EXPECT_EQ(GetParam().decoded, qm::decodeQueryValue(GetParam().value)) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, DecodeQueryValue, testing::Values(
    DecodeCase{"a%2Cb", "a%2Cb"},
    DecodeCase{"%2c", "%2c"},
    DecodeCase{"%41%7a%30%7E%2F%3F%26%3D%2B%24%23%40%3A%3B%27%28%29%2A%21%2D%5F%2E",
               "%41%7a%30%7E%2F%3F%26%3D%2B%24%23%40%3A%3B%27%28%29%2A%21%2D%5F%2E"},
    DecodeCase{"%3Cb%3E", "<b>"},
    DecodeCase{"%20%22%25%5C%7B", " \"%\\{"},
    DecodeCase{"%e9", "\xe9"},
    DecodeCase{"a+b", "a+b"},
    DecodeCase{"x%00y", std::string("x\0y", 3)},
    DecodeCase{"%", std::string(1, '\0')},
    DecodeCase{"ab%4", "ab\x04"},
    DecodeCase{"%zz1", std::string("\0" "1", 2)},
    DecodeCase{"%4g", "\x04"},
    DecodeCase{"%-1", "\xff"},
    DecodeCase{"% a", "\n"},
    DecodeCase{"%+a", "\n"},
    DecodeCase{"%0x41", std::string("\0" "41", 3)},
    DecodeCase{"%%41", std::string("\0" "1", 2)}));

using UniversalUrl = launch_test::LaunchParse;

TEST_F(UniversalUrl, QuotedValuesAndSplitValues) {
    qm::LaunchParameters quoted = qm::defaultLaunchParameters();
    qm::parseLaunchText(quoted, "qm://open/?title=%22Two%20words%22", platform);
    EXPECT_EQ("Two words", quoted.title);

    qm::LaunchParameters split = qm::defaultLaunchParameters();
    qm::parseLaunchText(split, "qm://open?title=Two%20words", platform);
    EXPECT_EQ("Two", split.title);
    EXPECT_EQ((Extras{{"title", "Two"}}), split.extras);
}

TEST_F(UniversalUrl, DecodedZeroEndsTheArguments) {
    qm::LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseLaunchText(record, "qm://launch?a=x%00&b=2", platform);
    EXPECT_EQ((Extras{{"a", "x"}}), record.extras);
}

TEST_F(UniversalUrl, PathShapeFillsClientSceneAndLanguage) {
    qm::LaunchParameters record = qm::defaultLaunchParameters();
    qm::parseLaunchText(record, "qm://host/launch/QUORVELMEET2/12?language=fr&title=T", platform);
    launch_test::expectFields(record, qm::defaultLaunchParameters(),
                              {{"client", "QUORVELMEET2"}, {"scene", "12"}, {"language", "fr"}, {"title", "T"}},
                              "path shape");
}

TEST_F(UniversalUrl, NeitherShapeLogsAndLeavesTheRecordAlone) {
    qm::LaunchParameters record = qm::defaultLaunchParameters();
    record.extras = {{"log_flags", "w"}};
    qm::parseLaunchText(record, "-title \"see http://example/launcher\"", platform);
    launch_test::expectFields(record, qm::defaultLaunchParameters(), {}, "neither shape");
    EXPECT_EQ((Extras{{"log_flags", "w"}}), record.extras);
    EXPECT_EQ(std::vector<std::string>{"E|Unable to parse universal URL: -title \"see http://example/launcher\"\n"},
              log.lines());
}

}  // namespace
