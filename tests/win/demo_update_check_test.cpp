// The demo product's update check against a real installation key and
// real feed folders.
#include <gtest/gtest.h>

#include "test_files.h"
#include "test_installation.h"
#include "update_check.h"

namespace {

struct CheckCase {
    const char* name;
    const char* stagingFeed;    // feed.txt of the staging folder; null: none
    const char* givenFeed;      // feed.txt of the folder given as a parameter; null: none
    const char* givenFolder;    // the parameter's value instead of that folder
    unsigned flags;
    bool fromStaging;           // src is the staging folder
};

class DemoUpdateCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(DemoUpdateCheck, AnswersFromTheFeedItFinds) {
    const CheckCase& c = GetParam();
    const std::string product = std::string("demofeed") + c.name;
    TestInstallation installation(product);
    TemporaryFolder staging(product + "staging");
    TemporaryFolder given(product + "given");
    installation.setText("updateFilePath", staging.path());
    if (c.stagingFeed)
        staging.writeFile("feed.txt", c.stagingFeed);
    if (c.givenFeed)
        given.writeFile("feed.txt", c.givenFeed);

    qm::LaunchParameters parameters(product, "production", "qo");
    if (c.givenFeed || c.givenFolder)
        parameters.extras.push_back({"update_feed", c.givenFolder ? c.givenFolder : given.path()});
    const qo::UpdateAnswer answer = qo::checkForUpdate(parameters);
    EXPECT_EQ(c.flags, answer.flags) << answer.why;
    EXPECT_EQ(c.fromStaging ? staging.path() : "", answer.src);
    EXPECT_EQ(c.fromStaging ? product : "", answer.productName);
}

const std::string kPadding(5000, '#');
const std::string kLateAction = "version=9\n" + kPadding + "\naction=abort\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, DemoUpdateCheck,
    testing::Values(
        CheckCase{"nofeed", nullptr, nullptr, nullptr, 0, false},
        CheckCase{"stagingupdate", "version=9\naction=update\n", nullptr, nullptr, 0x4, true},
        CheckCase{"stagingpage", "version=9\naction=page\nurl=https://example.test/\n", nullptr, nullptr, 0x808,
                  false},
        CheckCase{"givenabort", "version=9\naction=update\n", "version=9\naction=abort\n", nullptr, 0x800, false},
        // A parameter may point at a feed, never hand its folder to the updater.
        CheckCase{"givenupdate", nullptr, "version=9\naction=update\n", nullptr, 0, false},
        // A share is not read: the staging feed answers instead.
        CheckCase{"givenshare", "version=9\naction=update\n", nullptr, "\\\\server\\share\\feed", 0x4, true},
        // Only the first 4 KB of a manifest is read.
        CheckCase{"toolong", kLateAction.c_str(), nullptr, nullptr, 0, false}),
    [](const testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

}  // namespace
