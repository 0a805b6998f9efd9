#include "params_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_cases.h"
#include "json_text.h"

namespace {

std::string inspect(const std::vector<std::string>& arguments) {
    InspectorOptions options;
    std::string error;
    EXPECT_TRUE(readInspectorArguments(arguments, options, error)) << error;
    return inspectLaunchText(options);
}

TEST(ParamsInspector, PrintsEveryFieldTheExtrasWarningsAndDescription) {
    const std::string json = inspect(
        {"--lang", "es", "--windows", "77,4660", "--", "-product", "p\"q -positionTool poi,7,1,2.5,0.1,x",
         "-owner 4660 -t\\a b\x01\xe9 -language"});
    EXPECT_EQ(
        "{\n"
        "  \"product\": \"p\\\"q\",\n"
        "  \"state\": \"production\",\n"
        "  \"language\": \"es\",\n"
        "  \"defaultClient\": \"QUORVELMEET\",\n"
        "  \"client\": \"QUORVELMEET\",\n"
        "  \"title\": \"\",\n"
        "  \"token\": \"\",\n"
        "  \"scene\": -1,\n"
        "  \"visitMode\": 1,\n"
        "  \"positionTool\": {\"type\": 1, \"id\": 7, \"present\": true, \"path\": \"\", "
        "\"position\": [1, 2.5, 0.1], \"rotation\": [0, 0, 0], \"scale\": [1, 1, 1]},\n"
        "  \"owner\": 4660,\n"
        "  \"extras\": [\n"
        "    [\"product\", \"p\\\"q\"],\n"
        "    [\"positionTool\", \"poi,7,1,2.5,0.1,x\"],\n"
        "    [\"owner\", \"4660\"],\n"
        "    [\"t\\\\a\", \"b\\u0001\\u00e9\"],\n"
        "    [\"language\", \"\"]\n"
        "  ],\n"
        "  \"warnings\": [\n"
        "    \"Empty parameter: language\"\n"
        "  ],\n"
        "  \"description\": \"{product=p\\\"q,state=production,client=QUORVELMEET,visitMode=1,pt={type=1,id=7,"
        "path=,pos=(  1.00,  2.50,  0.10),rot=(  0.00,  0.00,  0.00),scl=(  1.00,  1.00,  1.00)}}\"\n"
        "}\n",
        json);
}

TEST(ParamsInspector, ResetCarriesOverAndDescribesBothRecords) {
    const std::string json = inspect({"--after", "-scene 12 -log_flags d -cloud_instance -owner 5", "--windows",
                                      "5", "--", "-title", "t"});
    EXPECT_NE(std::string::npos, json.find("\"owner\": 5,"));
    EXPECT_NE(std::string::npos, json.find("\"extras\": [\n    [\"cloud_instance\", \"\"],\n    [\"title\", \"t\"]\n  ]"));
    EXPECT_NE(std::string::npos,
              json.find("\"resetDescription\": \"current:{product=quorvelmeet,state=production,client=QUORVELMEET,"
                        "visitMode=1,scene=12} new:{product=quorvelmeet,state=production,client=QUORVELMEET,"
                        "visitMode=1}\"\n}\n"));
}

TEST(ParamsInspector, NoResetDescriptionWithoutAfter) {
    EXPECT_EQ(std::string::npos, inspect({"--", "-a"}).find("resetDescription"));
}

struct BadArguments {
    std::vector<std::string> arguments;
    const char* error;
};

class ParamsInspectorArguments : public testing::TestWithParam<BadArguments> {};

TEST_P(ParamsInspectorArguments, AreRefused) {
    InspectorOptions options;
    std::string error;
    EXPECT_FALSE(readInspectorArguments(GetParam().arguments, options, error));
    EXPECT_EQ(GetParam().error, error);
}

INSTANTIATE_TEST_SUITE_P(Cases, ParamsInspectorArguments, testing::Values(
    BadArguments{{}, "missing -- before the text"},
    BadArguments{{"-product", "x"}, "unknown option: -product"},
    BadArguments{{"--lang"}, "--lang needs a value"},
    BadArguments{{"--windows", "1,,2", "--", "x"}, "--windows takes handle numbers separated by commas: 1,,2"},
    BadArguments{{"--windows", "12ab", "--"}, "--windows takes handle numbers separated by commas: 12ab"},
    BadArguments{{"--windows", "0x", "--"}, "--windows takes handle numbers separated by commas: 0x"}));

TEST(ParamsInspectorArguments, TextAfterTheSeparatorIsJoinedBySpaces) {
    InspectorOptions options;
    std::string error;
    ASSERT_TRUE(readInspectorArguments({"--windows", "0x10,4294967297,010", "--", "-a", "--", "b"}, options, error));
    EXPECT_EQ("-a -- b", options.text);
    EXPECT_EQ((std::vector<uint32_t>{16, 1, 10}), options.windows);
    EXPECT_FALSE(options.reset);
}

struct NumberCase {
    float value;
    const char* json;
};

class JsonNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(JsonNumber, IsTheShortestFormThatReadsBack) {
    std::string out;
    appendJsonNumber(out, GetParam().value);
    EXPECT_EQ(GetParam().json, out);
}

INSTANTIATE_TEST_SUITE_P(Values, JsonNumber, testing::Values(
    NumberCase{0.0f, "0"}, NumberCase{-0.0f, "-0"}, NumberCase{90.0f, "90"}, NumberCase{0.1f, "0.1"},
    NumberCase{-2.25f, "-2.25"}, NumberCase{1.0e20f, "1e+20"}, NumberCase{16777217.0f, "16777216"},
    NumberCase{1.0f / 3.0f, "0.33333334"}, NumberCase{123456.7f, "123456.7"}, NumberCase{1.5e-7f, "1.5e-07"}, NumberCase{3.0e38f * 10.0f, "null"}));

// --- the batch mode's lines and records ----------------------------------------

struct BatchLineCase {
    const char* line;
    std::vector<std::string> arguments;
};

class BatchLine : public testing::TestWithParam<BatchLineCase> {};

TEST_P(BatchLine, SplitsAtTabsAndUndoesTheEscapes) {
    std::vector<std::string> arguments{"left over"};
    ASSERT_TRUE(splitBatchLine(GetParam().line, arguments));
    EXPECT_EQ(GetParam().arguments, arguments);
}

INSTANTIATE_TEST_SUITE_P(Lines, BatchLine, testing::Values(
    BatchLineCase{"", {""}}, BatchLineCase{"--\t", {"--", ""}}, BatchLineCase{"\t\t", {"", "", ""}},
    BatchLineCase{"--lang\tes\t--\t-scene 1", {"--lang", "es", "--", "-scene 1"}},
    BatchLineCase{"--\t-title\\ta\\n-scene\\t7", {"--", "-title\ta\n-scene\t7"}},
    BatchLineCase{"a\\rb\\\\t\\\\", {"a\rb\\t\\"}}, BatchLineCase{"\xe9\x01", {"\xe9\x01"}}));

TEST(BatchLine, RefusesABackslashThatEscapesNothing) {
    std::vector<std::string> arguments;
    for (const char* line : {"a\\", "a\\x", "\\\"", "--\t\\0"})
        EXPECT_FALSE(splitBatchLine(line, arguments)) << line;
}

TEST(BatchRecord, CountsTheBytesOfBothTexts) {
    EXPECT_EQ(std::string("case 0 3 0\n{}\n"), batchRecord(0, "{}\n", ""));
    EXPECT_EQ(std::string("case 2 0 5\nusage", 16), batchRecord(2, "", "usage"));
    EXPECT_EQ(std::string("case 1 2 1\n\0\nx", 14), batchRecord(1, std::string("\0\n", 2), "x"));
}

}  // namespace
