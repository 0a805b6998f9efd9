// The host's start-up against its installation's configuration, and the
// outcomes of the product library's update check.
#include <gtest/gtest.h>

#include "host_fixture.h"
#include "host_version.h"

namespace {

const char* const kInvalidConfiguration = "Invalid library directory configuration (NULL).\nClosing application.";
const char* const kUnableToInitialize = "Unable to initialize application.\nProgram aborted.";

void expectBox(const RecordedBox& box, const std::string& caption, const std::string& text, BoxIcon icon) {
    EXPECT_EQ(caption, box.caption);
    EXPECT_EQ(text, box.text);
    EXPECT_EQ(icon, box.icon) << boxIconName(box.icon);
}

TEST(HostStartup, WithoutConfigurationTheStartFailsWithBothBoxes) {
    TestInstallation unrelated("e2enoconfigother");
    const std::string line = "\"" + testBinaryDirectory() + "quorvelmeet.exe\" -product e2enoconfig -client testproduct";
    const DebugRun run = runUnderDebugger(line);
    ASSERT_EQ(2u, run.boxes.size());
    expectBox(run.boxes[0], "ERROR", kInvalidConfiguration, BoxIcon::Warning);
    expectBox(run.boxes[1], "Error", kUnableToInitialize, BoxIcon::Error);
    EXPECT_EQ(kExitFailure, run.exitCode);
    EXPECT_TRUE(productLines(run).empty());
}

TEST(HostStartup, WithoutUpdateFilePathTheStartFails) {
    HostFixture host("e2enoupdatepath");
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, host.installation.keyPath().c_str(), "updateFilePath");
    const DebugRun run = host.run("");
    ASSERT_EQ(2u, run.boxes.size());
    EXPECT_EQ(kInvalidConfiguration, run.boxes[0].text);
    EXPECT_EQ(kExitFailure, run.exitCode);
}

// The update check and the product start, seen from the product: closed
// by the product itself once it runs.
TEST(HostStartup, RunsTheProductAndEndsWithExitCodeZero) {
    HostFixture host("e2erun");
    ScopedEnvironment product({{"QMTP_ON_START", "ready;quit"}});
    const DebugRun run = host.run("-log_flags DIWE -resolution 800x600");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_TRUE(run.boxes.empty());
    const auto lines = productLines(run);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(0u, lines[0].find("qmUpdateSystem product=e2erun window=1 application=1"));
    EXPECT_EQ("qmUpdateSystemGetData flags=0", lines[1]);
    EXPECT_EQ("qmUpdateSystemRelease", lines[2]);
    EXPECT_EQ(0u, lines[3].find(std::string("qmInit version=") + QM_VERSION_TEXT +
                                " product=e2erun state=production language=en client=testproduct"))
        << lines[3];
    // Showing the window resizes the product before it starts.
    EXPECT_TRUE(productSaid(run, "qmStart size=800x600 client=800x600 visible=1 same=1 reserved=0"));
    EXPECT_TRUE(productSaid(run, "qmStop"));
    // Crash reporting is on unless a switch turns it off.
    EXPECT_FALSE(run.linesStartingWith("crash reporter: installed").empty());
    EXPECT_FALSE(run.linesStartingWith("crash reporter: uninstalled").empty());
}

struct SkipCase {
    const char* name;
    bool binary;  // a one-byte binary 1, else a REG_DWORD 1
    bool skips;
};

class HostSkipUpdates : public testing::TestWithParam<SkipCase> {};

TEST_P(HostSkipUpdates, OnlyAOneByteValueSkipsTheCheck) {
    HostFixture host(std::string("e2eskip") + GetParam().name);
    if (GetParam().binary)
        host.installation.setBinaryByte("skipUpdates", 1);
    else
        host.installation.setDword("skipUpdates", 1);
    ScopedEnvironment product({{"QMTP_ON_START", "quit"}});
    const DebugRun run = host.run("");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(!GetParam().skips, productSaid(run, "qmUpdateSystem "));
    EXPECT_TRUE(productSaid(run, "qmStart"));
}

INSTANTIATE_TEST_SUITE_P(Values, HostSkipUpdates,
                         testing::Values(SkipCase{"binary", true, true}, SkipCase{"dword", false, false}),
                         [](const testing::TestParamInfo<SkipCase>& info) { return std::string(info.param.name); });

TEST(HostStartup, RemovesTheStagedLibraryFolderOfTheClientOnly) {
    HostFixture host("e2estaging");
    host.staging.writeFile("testproduct\\lib\\old.dll", "old");
    host.staging.writeFile("testproduct\\lib\\deeper\\older.dll", "older");
    host.staging.writeFile("testproduct\\keep.txt", "kept");
    host.staging.writeFile("other\\lib\\other.dll", "kept");
    ScopedEnvironment product({{"QMTP_ON_START", "quit"}});
    const DebugRun run = host.run("");
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_FALSE(host.staging.exists("testproduct\\lib"));
    EXPECT_TRUE(host.staging.exists("testproduct\\keep.txt"));
    EXPECT_TRUE(host.staging.exists("other\\lib\\other.dll"));
}

TEST(HostStartup, AClientThatIsNoPlainNameRemovesNothing) {
    HostFixture host("e2etraversal");
    TemporaryFolder outside("e2etraversal-outside");
    outside.writeFile("lib\\precious.dll", "precious");
    host.staging.writeFile("QUORVELMEET\\lib\\old.dll", "old");
    ScopedEnvironment product({{"QMTP_ON_START", "quit"}});
    // The staging folder's parent holds "outside": ..\qmtest-e2etraversal-outside
    const DebugRun run = host.run("-client ..\\qmtest-e2etraversal-outside");
    EXPECT_TRUE(outside.exists("lib\\precious.dll"));
    ASSERT_FALSE(run.boxes.empty());
    EXPECT_EQ("Invalid parameter: client", run.boxes[0].text);
}

struct OutcomeCase {
    const char* name;
    const char* flags;
    const char* url;
    std::vector<std::string> boxTexts;  // empty: the product starts
    const char* caption;
    BoxIcon icon;
};

const char* const kNewVersion = "New version available.\nClick Ok to launch the update page.";
const char* const kUpdateFailed = "The update process reported errors.\nApplication launch aborted.";

class HostUpdateOutcome : public testing::TestWithParam<OutcomeCase> {};

TEST_P(HostUpdateOutcome, EndsTheRunOrStartsTheProduct) {
    const OutcomeCase& c = GetParam();
    HostFixture host(std::string("e2eoutcome") + c.name);
    ScopedEnvironment product({{"QMTP_FLAGS", c.flags}, {"QMTP_URL", c.url}, {"QMTP_ON_START", "quit"}});
    const DebugRun run = host.run("");
    if (c.boxTexts.empty()) {
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_TRUE(productSaid(run, "qmStart"));
        EXPECT_EQ(0u, run.exitCode);
        return;
    }
    ASSERT_EQ(c.boxTexts.size(), run.boxes.size());
    EXPECT_EQ(c.boxTexts[0], run.boxes[0].text);
    EXPECT_EQ(c.caption, run.boxes[0].caption);
    EXPECT_EQ(c.icon, run.boxes[0].icon) << boxIconName(run.boxes[0].icon);
    EXPECT_TRUE(run.boxes[0].topmost);  // system-modal
    EXPECT_FALSE(productSaid(run, "qmStart"));
    EXPECT_EQ(kExitFailure, run.exitCode);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, HostUpdateOutcome,
    testing::Values(OutcomeCase{"downloadpage", "0x808", "", {kNewVersion}, "Information", BoxIcon::Information},
                    OutcomeCase{"abort", "0x800", "", {kUpdateFailed}, "Warning", BoxIcon::Error},
                    OutcomeCase{"abortnotupdater", "0x804", "", {kUpdateFailed}, "Warning", BoxIcon::Error},
                    OutcomeCase{"pageonly", "0x8", "", {}, "", BoxIcon::None},
                    OutcomeCase{"otherbits", "0x3F3", "", {}, "", BoxIcon::None}),
    [](const testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

TEST(HostStartup, ACloudInstanceShowsNoCatalogueBox) {
    HostFixture host("e2ecloud");
    ScopedEnvironment product({{"QMTP_FLAGS", "0x800"}});
    // The switch also counts inside a longer token.
    const DebugRun run = host.run("-x-cloud_instance_y -cloud_instance");
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_TRUE(run.linesStartingWith("crash reporter:").empty());
    EXPECT_EQ(kExitFailure, run.exitCode);
}

// A cloud instance leaves out the catalogue boxes of the start-up too; the
// fixed English ones of a broken installation stay.
struct CloudCase {
    const char* name;
    const char* client;
    const char* check;
    std::vector<std::string> boxes;
    DWORD exitCode;
};

class HostCloudStartup : public testing::TestWithParam<CloudCase> {};

TEST_P(HostCloudStartup, ShowsOnlyTheFixedBoxes) {
    const CloudCase& c = GetParam();
    HostFixture host(std::string("e2ecloud") + c.name);
    ScopedEnvironment product({{"QMTP_CHECK", c.check}, {"QMTP_ON_START", "quit"}});
    const DebugRun run = host.run("-cloud_instance", c.client);
    std::vector<std::string> texts;
    for (const RecordedBox& box : run.boxes)
        texts.push_back(box.text);
    EXPECT_EQ(c.boxes, texts);
    EXPECT_EQ(c.exitCode, run.exitCode);
    EXPECT_EQ(c.exitCode == 0, productSaid(run, "qmStart"));
}

INSTANTIATE_TEST_SUITE_P(
    Failures, HostCloudStartup,
    testing::Values(CloudCase{"refusedcheck", "testproduct", "refuse", {}, 0},
                    CloudCase{"noupdatesystem", "testproduct_noupdate", "sync",
                              {"Application can't be initialized.\n\n(qmUpdateSystem entry point not found)",
                               kUnableToInitialize},
                              kExitFailure}),
    [](const testing::TestParamInfo<CloudCase>& info) { return std::string(info.param.name); });

TEST(HostStartup, ARefusedCheckWarnsAndStartsTheProduct) {
    HostFixture host("e2erefused");
    ScopedEnvironment product({{"QMTP_CHECK", "refuse"}, {"QMTP_ON_START", "quit"}});
    const DebugRun run = host.run("-no_crash_report");
    EXPECT_TRUE(run.linesStartingWith("crash reporter:").empty());
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kUpdateFailed, run.boxes[0].text);
    EXPECT_EQ(BoxIcon::Warning, run.boxes[0].icon);
    EXPECT_TRUE(productSaid(run, "qmStart"));
    EXPECT_EQ(0u, run.exitCode);
}

TEST(HostStartup, ACheckFinishedOnAnotherThreadStartsTheProduct) {
    HostFixture host("e2ethreaded");
    ScopedEnvironment product({{"QMTP_CHECK", "thread"}, {"QMTP_ON_START", "quit"}});
    const DebugRun run = host.run("");
    EXPECT_EQ(1u, productSaidCount(run, "qmStart"));
    EXPECT_EQ(0u, run.exitCode);
}

}  // namespace
