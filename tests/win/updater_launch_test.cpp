// The updater hand-off in process, on its failing ways: nothing may start, so
// spawnUpdater returns and the test can look at what it left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "copy_file_silently.h"
#include "logging/logger.h"
#include "recording_appender.h"
#include "spawn_updater.h"
#include "test_files.h"
#include "update_exe.h"
#include "update_service.h"
#include "updater_log.h"
#include "updater_log_file.h"

namespace {

// Sources that do not exist: should an updater start by mistake, it finds no
// update and starts nothing.
constexpr char kNoSource[] = "C:\\qmtest-no-such-source";
constexpr char kNoDestination[] = "C:\\qmtest-no-such-destination";

// spawnUpdater ends the process when an updater started; here that is a fault.
bool exitIsAFault = false;
void failOnExit() {
    if (exitIsAFault) {
        std::fputs("spawnUpdater started an updater and ended the test process\n", stderr);
        std::fflush(stderr);
        std::_Exit(86);
    }
}

std::string uniqueProduct(const char* stem) {
    return std::string("qmtest") + stem + std::to_string(GetCurrentProcessId());
}

class UpdaterLaunch : public testing::Test {
protected:
    static void SetUpTestSuite() { std::atexit(failOnExit); }
    void SetUp() override {
        ASSERT_EQ(0u, logger->getAppenderCount());
        DeleteFileA(temporaryUpdaterCopy().c_str());
        exitIsAFault = true;
    }
    void TearDown() override {
        exitIsAFault = false;
        logger->clearAppenders();
        for (const std::string& product : products)
            removeProductLogFolder(product);
    }

    std::string product(const char* stem) {
        products.push_back(uniqueProduct(stem));
        return products.back();
    }
    void record() { logger->attach(new RecordingAppender(&lines, &freed)); }

    logging::Logger* logger = logging::Logger::getLogger();
    std::vector<std::string> products;
    std::vector<std::string> lines;
    bool freed = false;
};

TEST_F(UpdaterLaunch, BothWaysFailingLogToTheProductsUpdaterLogAndDetachIt) {
    // A blank in the product keeps the elevated way shut; no such service exists.
    const std::string blank = product(" both ");
    EXPECT_FALSE(spawnUpdater(blank.c_str(), "Name", kNoSource, kNoDestination));
    EXPECT_EQ(0u, logger->getAppenderCount());
    EXPECT_FALSE(fileExists(temporaryUpdaterCopy()));

    const std::string path = productUpdaterLogPath(blank);
    EXPECT_EQ(commonAppDataFolder() + "\\Quorvel\\" + blank + "\\qmUpdater.log", path);
    const std::vector<UpdaterLogEntry> expected = {
        {"ERROR", "updateService: unable to open service QM Updater Service - " + blank + " (1060)"},
        {"ERROR", "updateEXE: not launching: the product holds a space, tab or line feed"},
        {"ERROR", "Unable to spawn updater (err 87)"}};
    EXPECT_EQ(expected, readUpdaterLog(path));
}

TEST_F(UpdaterLaunch, AnAttachedAppenderGetsTheLinesAndStaysAttached) {
    const std::string blank = product(" attached ");
    record();
    EXPECT_FALSE(spawnUpdater(blank.c_str(), "", kNoSource, kNoDestination));
    EXPECT_EQ(1u, logger->getAppenderCount());
    EXPECT_FALSE(freed);
    EXPECT_FALSE(fileExists(productUpdaterLogPath(blank)));
    const std::vector<std::string> expected = {
        "ERROR|updateService: unable to open service QM Updater Service - " + blank + " (1060)",
        "ERROR|updateEXE: not launching: the product holds a space, tab or line feed",
        "ERROR|Unable to spawn updater (err 87)"};
    EXPECT_EQ(expected, lines);
}

TEST_F(UpdaterLaunch, AMissingServiceIsLoggedWithItsError) {
    const std::string missing = product("missing");
    record();
    EXPECT_FALSE(updateService(missing.c_str(), "N", kNoSource, kNoDestination, "host.exe"));
    EXPECT_EQ(std::vector<std::string>{"ERROR|updateService: unable to open service "
                                       "QM Updater Service - " + missing + " (1060)"},
              lines);
}

struct InjectionCase {
    const char* product;
    const char* productName;
    const char* src;
    const char* dst;
    const char* reason;
};

class UpdaterInjection : public UpdaterLaunch,
                         public testing::WithParamInterface<InjectionCase> {};

TEST_P(UpdaterInjection, ElevatedUpdaterIsNeitherCopiedNorStarted) {
    const InjectionCase& c = GetParam();
    record();
    SetLastError(0);
    EXPECT_FALSE(updateEXE(c.product, c.productName, c.src, c.dst, "\"C:\\Q\\host.exe\" -a"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(std::vector<std::string>{std::string("ERROR|updateEXE: not launching: ") + c.reason},
              lines);
    EXPECT_FALSE(fileExists(temporaryUpdaterCopy()));
}

INSTANTIATE_TEST_SUITE_P(Values, UpdaterInjection, testing::Values(
    InjectionCase{"qmtest -dst C:\\Windows", "N", kNoSource, kNoDestination,
                  "the product holds a space, tab or line feed"},
    InjectionCase{"qmtest\t-x", "N", kNoSource, kNoDestination,
                  "the product holds a space, tab or line feed"},
    InjectionCase{"qmtest\n-x", "N", kNoSource, kNoDestination,
                  "the product holds a space, tab or line feed"},
    InjectionCase{"qmtest\"", "N", kNoSource, kNoDestination, "the product holds a double quote"},
    InjectionCase{"", "N", kNoSource, kNoDestination, "the product is empty"},
    InjectionCase{"qmtest", "N\" -dst \"C:\\Windows", kNoSource, kNoDestination,
                  "the product name holds a double quote"},
    InjectionCase{"qmtest", "N", "C:\\x\" -dst \"C:\\Windows", kNoDestination,
                  "the source holds a double quote"},
    InjectionCase{"qmtest", "N", kNoSource, "C:\\x\" -cmd 'evil.exe'",
                  "the destination holds a double quote"}));

TEST_F(UpdaterLaunch, LogIsSetUpOnlyForAProductThatNamesOneFolder) {
    for (const char* hostile : {"..", "..\\..\\Windows", "a/b", "C:evil", "a\"b", "", "x|y"}) {
        setupUpdaterLog(hostile);
        EXPECT_EQ(0u, logger->getAppenderCount()) << hostile;
    }
    setupUpdaterLog(nullptr);
    EXPECT_EQ(0u, logger->getAppenderCount());

    const std::string plain = product("plain");
    setupUpdaterLog(plain.c_str());
    EXPECT_EQ(1u, logger->getAppenderCount());
    logger->warn("written");
    logger->clearAppenders();
    EXPECT_EQ((std::vector<UpdaterLogEntry>{{"WARN", "written"}}),
              readUpdaterLog(productUpdaterLogPath(plain)));
}

TEST(CopyFileSilently, CopiesOneFileWithSlashesInItsPaths) {
    TemporaryFolder folder("copy-silently");
    folder.writeFile("from\\a.txt", "contents");
    std::string from = folder.path() + "/from/a.txt";
    std::string to = folder.path() + "/b.txt";
    EXPECT_TRUE(copyFileSilently(from.c_str(), to.c_str()));
    EXPECT_EQ("contents", readWholeFile(folder.path() + "\\b.txt"));
    const std::string missing = folder.path() + "\\missing.txt";
    EXPECT_FALSE(copyFileSilently(missing.c_str(), to.c_str()));
}

}  // namespace
