#include "launch_record.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "launch_fields.h"

namespace {

using qm::LaunchParameters;

std::string description(const LaunchParameters& record) {
    std::string text;
    describe(record, text);
    return text;
}

void setPointOfInterest(LaunchParameters& record) {
    auto& pt = record.positionTool;
    pt.present = true;
    pt.type = 1;
    pt.id = 7;
    pt.position[0] = 1.0f;
    pt.position[1] = 2.0f;
    pt.position[2] = 3.0f;
}

TEST(Describe, NewApplicationRecord) {
    EXPECT_EQ("{product=quorvelmeet,state=production,client=QUORVELMEET,visitMode=1}",
              description(qm::defaultLaunchParameters()));
}

TEST(Describe, SceneAndPointOfInterest) {
    LaunchParameters record = qm::defaultLaunchParameters();
    record.scene = 12;
    setPointOfInterest(record);
    EXPECT_EQ("{product=quorvelmeet,state=production,client=QUORVELMEET,visitMode=1,scene=12,"
              "pt={type=1,id=7,path=,pos=(  1.00,  2.00,  3.00),rot=(  0.00,  0.00,  0.00),"
              "scl=(  1.00,  1.00,  1.00)}}",
              description(record));
}

struct SceneCase {
    int scene;
    bool shown;
};

class DescribeScene : public testing::TestWithParam<SceneCase> {};

TEST_P(DescribeScene, OnlyPositiveScenesAppear) {
    LaunchParameters record = qm::defaultLaunchParameters();
    record.scene = GetParam().scene;
    const bool shown = description(record).find(",scene=" + std::to_string(GetParam().scene) + "}") !=
                       std::string::npos;
    EXPECT_EQ(GetParam().shown, shown);
}

INSTANTIATE_TEST_SUITE_P(Values, DescribeScene,
                         testing::Values(SceneCase{-1, false}, SceneCase{0, false}, SceneCase{1, true},
                                         SceneCase{-5, false}, SceneCase{2147483647, true}));

TEST(Describe, PresentToolAtDefaultsAndTokenInFull) {
    LaunchParameters record("p", "s", "c");
    record.positionTool.present = true;
    record.token = "abc def,{}=";
    record.title = "not shown";
    record.language = "es";
    record.extras = {{"x", "not shown"}};
    EXPECT_EQ("{product=p,state=s,client=c,visitMode=1,pt={type=0,id=0,path=,pos=(  0.00,  0.00,  0.00),"
              "rot=(  0.00,  0.00,  0.00),scl=(  1.00,  1.00,  1.00)},token=abc def,{}=}",
              description(record));
}

TEST(Describe, AppendsAndGrowsForLongValues) {
    LaunchParameters record(std::string(5000, 'p'), "s", "c");
    record.positionTool.present = true;
    record.positionTool.path = std::string(3000, 'x');
    record.positionTool.scale[0] = 3.0e38f;
    std::string text = "current:";
    describe(record, text);
    EXPECT_EQ(0u, text.find("current:{product=" + std::string(5000, 'p') + ",state=s"));
    EXPECT_NE(std::string::npos, text.find("path=" + std::string(3000, 'x') + ",pos="));
    char huge[128];
    std::snprintf(huge, sizeof huge, "scl=(%6.2f,  1.00,  1.00)}}", static_cast<double>(3.0e38f));
    EXPECT_NE(std::string::npos, text.find(huge));
    EXPECT_EQ('}', text.back());
}

TEST(Extras, FindIsExactAndRemoveTakesTheFirst) {
    LaunchParameters record = qm::defaultLaunchParameters();
    record.extras = {{"log_flags", "d"}, {"a", "1"}, {"a", "2"}, {"", "empty"}};
    ASSERT_NE(nullptr, record.findExtra("log_flags"));
    EXPECT_EQ("d", *record.findExtra("log_flags"));
    EXPECT_EQ(nullptr, record.findExtra("LOG_FLAGS"));
    EXPECT_EQ(nullptr, record.findExtra("log_flag"));
    EXPECT_EQ("empty", *record.findExtra(""));

    EXPECT_TRUE(removeExtra(record, "a"));
    EXPECT_EQ((launch_test::Extras{{"log_flags", "d"}, {"a", "2"}, {"", "empty"}}), record.extras);
    EXPECT_FALSE(removeExtra(record, "A"));
    EXPECT_EQ(3u, record.extras.size());
}

TEST(Extras, CloudInstanceWithAnyValue) {
    LaunchParameters record = qm::defaultLaunchParameters();
    EXPECT_FALSE(record.isCloudInstance());
    record.extras = {{"Cloud_Instance", ""}};
    EXPECT_FALSE(record.isCloudInstance());
    record.extras.emplace_back("cloud_instance", "");
    EXPECT_TRUE(record.isCloudInstance());
}

TEST(CarryOver, KeepsIdentityOwnerAndExtrasAndStartsTheRunOver) {
    LaunchParameters current("prod", "beta", "C1");
    current.defaultClient = "C0";
    current.language = "es";
    current.title = "t";
    current.token = "k";
    current.scene = 4;
    current.visitMode = 3;
    setPointOfInterest(current);
    current.positionTool.path = "p";
    current.positionTool.ownerNotify = [](const void*) {};
    current.owner = qm::windowHandleFromNumber(0x1234);
    current.extras = {{"positionTool", "a"}, {"scene", "4"}, {"x", "1"},
                      {"positionTool", "b"}, {"cloud_instance", ""}};

    const LaunchParameters next = qm::carryOver(current);
    launch_test::expectFields(next, qm::defaultLaunchParameters(),
                              {{"product", "prod"}, {"state", "beta"}, {"language", "es"},
                               {"defaultClient", "C0"}, {"client", "C1"}, {"owner", "4660"}},
                              "carryOver");
    EXPECT_EQ(nullptr, next.positionTool.ownerNotify);
    EXPECT_EQ((launch_test::Extras{{"x", "1"}, {"positionTool", "b"}, {"cloud_instance", ""}}), next.extras);
}

TEST(Record, NewRecordAndCopy) {
    LaunchParameters record("p", "s", "c");
    EXPECT_EQ("c", record.defaultClient);
    launch_test::expectFields(record, qm::defaultLaunchParameters(),
                              {{"product", "p"}, {"state", "s"}, {"client", "c"}, {"defaultClient", "c"}},
                              "construction");

    setPointOfInterest(record);
    record.positionTool.ownerNotify = [](const void*) {};
    record.owner = qm::windowHandleFromNumber(99);
    record.extras = {{"k", "v"}};
    LaunchParameters copy = qm::defaultLaunchParameters();
    copy = record;
    EXPECT_EQ(record.positionTool.ownerNotify, copy.positionTool.ownerNotify);
    EXPECT_EQ(record.owner, copy.owner);
    EXPECT_EQ(record.extras, copy.extras);
    EXPECT_EQ(description(record), description(copy));

    LaunchParameters& same = copy;
    copy = same;
    EXPECT_EQ(description(record), description(copy));
    EXPECT_EQ(record.extras, copy.extras);
}

TEST(Record, ProductsCompareByExactBytes) {
    LaunchParameters a("quorvelmeet", "s1", "c1");
    LaunchParameters b("quorvelmeet", "s2", "c2");
    LaunchParameters c("QuorvelMeet", "s1", "c1");
    EXPECT_TRUE(qm::sameProduct(a, b));
    EXPECT_FALSE(qm::sameProduct(a, c));
    EXPECT_FALSE(qm::sameProduct(a, LaunchParameters("quorvelmeet2", "s1", "c1")));
}

}  // namespace
