#include "apply_parameter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launch_fields.h"
#include "launch_record.h"
#include "scripted_launch_platform.h"

namespace {

using launch_test::Fields;
using Warnings = std::vector<std::string>;

struct PositioningCase {
    std::string value;
    Fields fields;  // positioning fields other than pt.present, which is always set
    Warnings warnings;
};

class Positioning : public testing::TestWithParam<PositioningCase> {};

// Starts from a record whose tool already holds values, so that a field that
// must be left alone is seen to be.
TEST_P(Positioning, ReadsTheListIntoTheTool) {
    const PositioningCase& c = GetParam();
    qm::LaunchParameters before = qm::defaultLaunchParameters();
    before.positionTool.id = 42;
    before.positionTool.position[1] = 8.0f;
    before.positionTool.rotation[2] = 9.0f;
    qm::LaunchParameters record = before;
    qm::ScriptedLaunchPlatform platform;

    qm::applyParameter(record, "positionTool", c.value, platform);

    Fields expected = c.fields;
    expected.emplace_back("pt.present", "true");
    launch_test::expectFields(record, before, expected, c.value);
    EXPECT_EQ(c.warnings, platform.warnings) << c.value;
}

const char kShortList[] = "Wrong positiniong tool parameter";
const char kBadId[] = "Wrong positioning id parameter";

INSTANTIATE_TEST_SUITE_P(Lists, Positioning, testing::Values(
    PositioningCase{"poi,7,1,2,3", {{"pt.type", "1"}, {"pt.id", "7"}, {"pt.position", "1,2,3"}}, {}},
    PositioningCase{"models/chair,0,0,0,0,90,0,2,2,2",
                    {{"pt.path", "models/chair"}, {"pt.position", "0,0,0"}, {"pt.rotation", "0,90,0"},
                     {"pt.scale", "2,2,2"}},
                    {}},
    PositioningCase{"start", {{"pt.path", "start"}}, {kShortList}},
    PositioningCase{"", {}, {kShortList}},
    PositioningCase{",,,", {}, {kShortList}},
    PositioningCase{"poi", {{"pt.type", "1"}}, {kShortList, kBadId}},
    PositioningCase{"poi,x", {{"pt.type", "1"}}, {kBadId}},
    PositioningCase{"poi,x,1,2,3", {{"pt.type", "1"}}, {kBadId}},
    PositioningCase{"poi, -3x", {{"pt.type", "1"}, {"pt.id", "-3"}}, {}},
    PositioningCase{"p,1,2", {{"pt.path", "p"}}, {}},
    PositioningCase{"p,1,b,3", {{"pt.path", "p"}}, {"Wrong positioning parameter positon[1]"}},
    PositioningCase{"p,x,2,3,4,5,6", {{"pt.path", "p"}}, {"Wrong positioning parameter positon[0]"}},
    PositioningCase{"p,1,2,3,4,5,z", {{"pt.path", "p"}, {"pt.position", "1,2,3"}},
                    {"Wrong positioning parameter rotation[2]"}},
    PositioningCase{"p,1,2,3,4,5,6,7,8,.", {{"pt.path", "p"}, {"pt.position", "1,2,3"}, {"pt.rotation", "4,5,6"}},
                    {"Wrong positioning parameter scale[2]"}},
    PositioningCase{"p,1,2,3,4,5,6,7,8", {{"pt.path", "p"}, {"pt.position", "1,2,3"}, {"pt.rotation", "4,5,6"}}, {}},
    PositioningCase{"POI,5,1,2,3", {{"pt.path", "POI"}, {"pt.position", "5,1,2"}}, {}},
    PositioningCase{"p,,1,,2,3", {{"pt.path", "p"}, {"pt.position", "1,2,3"}}, {}},
    PositioningCase{" p q ,1.5e1, -2.25,3abc", {{"pt.path", " p q "}, {"pt.position", "15,-2.25,3"}}, {}},
    PositioningCase{"p,1e,0x1p3,1e99", {{"pt.path", "p"}, {"pt.position", "1,8,inf"}}, {}},
    PositioningCase{"p,1,2,0x", {{"pt.path", "p"}}, {"Wrong positioning parameter positon[2]"}},
    PositioningCase{"p,infin,2,3", {{"pt.path", "p"}}, {"Wrong positioning parameter positon[0]"}},
    PositioningCase{"poi,2,1,2,3,4,5,6,7,8,9,extra",
                    {{"pt.type", "1"}, {"pt.id", "2"}, {"pt.position", "1,2,3"}, {"pt.rotation", "4,5,6"},
                     {"pt.scale", "7,8,9"}},
                    {}}));

TEST(Positioning, LaterParametersBuildOnEarlierOnes) {
    qm::LaunchParameters record = qm::defaultLaunchParameters();
    qm::ScriptedLaunchPlatform platform;
    qm::applyParameter(record, "positionTool", "poi,3", platform);
    qm::applyParameter(record, "positionTool", "path,1,2,3", platform);
    EXPECT_EQ(1, record.positionTool.type) << "the path form leaves the type alone";
    EXPECT_EQ(3, record.positionTool.id);
    EXPECT_EQ("path", record.positionTool.path);
    EXPECT_TRUE(platform.warnings.empty());
}

TEST(SplitList, DropsEmptyPiecesAndKeepsSpaces) {
    EXPECT_EQ((std::vector<std::string>{"a", " b ", "c"}), qm::splitList(",a,, b ,c,"));
    EXPECT_TRUE(qm::splitList("").empty());
    EXPECT_TRUE(qm::splitList(",").empty());
}

}  // namespace
