// The demo product's update feed: reading the manifest and choosing the
// outcome the host is asked for.
#include <gtest/gtest.h>

#include "update_feed.h"

namespace {

TEST(DemoFeed, ReadsKnownKeysAndSkipsTheRest) {
    const qo::Feed feed = qo::parseFeed("# a comment\r\n version = 2.0 \r\nnoise\nurl=https://x.test/a=b\nfoo=bar\naction=page");
    EXPECT_EQ("2.0", feed.version);
    EXPECT_EQ("page", feed.action);
    EXPECT_EQ("https://x.test/a=b", feed.url);
}

struct VersionCase {
    const char* a;
    const char* b;
    int sign;
};

class DemoFeedVersions : public testing::TestWithParam<VersionCase> {};

TEST_P(DemoFeedVersions, CompareNumberByNumber) {
    const int result = qo::compareVersions(GetParam().a, GetParam().b);
    EXPECT_EQ(GetParam().sign, (result > 0) - (result < 0));
}

INSTANTIATE_TEST_SUITE_P(Cases, DemoFeedVersions,
                         testing::Values(VersionCase{"1.2.0", "1.2", 0}, VersionCase{"1.10", "1.9", 1},
                                         VersionCase{"1.2.1", "1.2.0", 1}, VersionCase{"0.9", "1.0", -1},
                                         VersionCase{"", "0", 0},
                                         VersionCase{"99999999999999999999", "1", 1}));

struct DecisionCase {
    const char* name;
    const char* manifest;
    bool trusted;
    unsigned flags;
    const char* url;
    bool src;  // the feed folder and product are handed over
};

class DemoFeedDecisions : public testing::TestWithParam<DecisionCase> {};

TEST_P(DemoFeedDecisions, AnswerWhatTheFeedAsksWhenNewer) {
    const DecisionCase& c = GetParam();
    const qo::UpdateAnswer answer = qo::decideUpdate(qo::parseFeed(c.manifest), {"C:\\feed", c.trusted}, "prod");
    EXPECT_EQ(c.flags, answer.flags) << answer.why;
    EXPECT_EQ(c.url, answer.url);
    EXPECT_EQ(c.src ? "C:\\feed" : "", answer.src);
    EXPECT_EQ(c.src ? "prod" : "", answer.productName);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DemoFeedDecisions,
    testing::Values(DecisionCase{"none", "version=9\naction=none", true, 0, "", false},
                    DecisionCase{"empty", "", true, 0, "", false},
                    DecisionCase{"page", "version=9\naction=page\nurl=https://a.test/", false, 0x808,
                                 "https://a.test/", false},
                    DecisionCase{"pageNotWeb", "version=9\naction=page\nurl=file:///C:/x.exe", true, 0, "", false},
                    DecisionCase{"pageWithSpace", "version=9\naction=page\nurl=http://a b", true, 0, "", false},
                    DecisionCase{"abort", "version=9\naction=abort", false, 0x800, "", false},
                    DecisionCase{"update", "version=9\naction=update", true, 0x4, "", true},
                    DecisionCase{"updateFromParameter", "version=9\naction=update", false, 0, "", false},
                    DecisionCase{"sameVersion", "version=1.2.0\naction=abort", true, 0, "", false},
                    DecisionCase{"olderVersion", "version=1.1.9\naction=update", true, 0, "", false}),
    [](const testing::TestParamInfo<DecisionCase>& info) { return std::string(info.param.name); });

// After an update the copied manifest names the installed version: the
// host the updater starts again must not update once more.
TEST(DemoFeed, AnInstalledVersionIsNotUpdatedAgain) {
    const qo::Feed feed = qo::parseFeed("version=2.0\naction=update");
    EXPECT_EQ(0u, qo::decideUpdate(feed, {"C:\\feed", true}, "prod", "2.0").flags);
    EXPECT_EQ(0u, qo::decideUpdate(feed, {"C:\\feed", true}, "prod", "2.1").flags);
    EXPECT_EQ(0x4u, qo::decideUpdate(feed, {"C:\\feed", true}, "prod", "1.9").flags);
}

struct FolderCase {
    const char* folder;
    bool accepted;
};

class DemoFeedFolders : public testing::TestWithParam<FolderCase> {};

TEST_P(DemoFeedFolders, OnlyLocalDrivePaths) {
    EXPECT_EQ(GetParam().accepted, qo::acceptableFeedFolder(GetParam().folder)) << GetParam().folder;
}

INSTANTIATE_TEST_SUITE_P(Cases, DemoFeedFolders,
                         testing::Values(FolderCase{"C:\\feeds\\qo", true}, FolderCase{"Z:/tmp/feed", true},
                                         FolderCase{"\\\\server\\share", false}, FolderCase{"\\\\?\\C:\\x", false},
                                         FolderCase{"\\\\.\\pipe\\x", false}, FolderCase{"C:\\a\\..\\..\\b", false},
                                         FolderCase{"feed", false}, FolderCase{"C:\\x\\con:", false},
                                         FolderCase{"C:\\a\"b", false}, FolderCase{"C:", false}));

}  // namespace
