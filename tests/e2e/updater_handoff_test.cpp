// The updater hand-off end to end: a driver program calls spawnUpdater as
// the host does, the stand-in updaters really update its "library" and start
// it again, and the test reads the journal of the driver's runs, the library
// directory and the product's updater log.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "debug_harness.h"
#include "message_box_watcher.h"
#include "test_files.h"
#include "unique_handle.h"
#include "updater_log_file.h"
#include "wait_until.h"

namespace {

constexpr DWORD kRoundTripTimeoutMs = 120000;

bool hasEntry(const std::vector<UpdaterLogEntry>& entries, const UpdaterLogEntry& wanted) {
    return std::find(entries.begin(), entries.end(), wanted) != entries.end();
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

class UpdaterHandoff : public testing::Test {
protected:
    void SetUp() override {
        DeleteFileA(temporaryUpdaterCopy().c_str());
        removeProductLogFolder(product);
        work.writeFile("src\\library.txt", "2\n");
        work.writeFile("dst\\library.txt", "1\n");
    }
    void TearDown() override {
        removeProductLogFolder(product);
        DeleteFileA(temporaryUpdaterCopy().c_str());
    }

    std::string src() const { return work.path() + "\\src"; }
    std::string dst() const { return work.path() + "\\dst"; }
    std::string journal() const { return work.path() + "\\journal.txt"; }
    std::string logPath() const { return productUpdaterLogPath(product); }

    std::string driverCommand(const std::string& directory, const std::string& productName) const {
        return quoted(directory + "update_driver.exe") + " " + quoted(journal()) + " " +
               quoted(product) + " " + quoted(productName) + " " + quoted(src()) + " " +
               quoted(dst()) + " 2";
    }

    // Waits until the updater's last line and the restarted driver's report.
    void waitForTheRoundTrip(const std::string& updater) {
        EXPECT_TRUE(waitUntil([&] { return hasEntry(readUpdaterLog(logPath()),
                                                  {"WARN", updater + ": done (updated)"}); },
                            kRoundTripTimeoutMs))
            << readWholeFile(logPath());
        EXPECT_TRUE(waitUntil([&] { return readFileLines(journal()).size() >= 2; }, kRoundTripTimeoutMs));
        EXPECT_EQ((std::vector<std::string>{"updating 1", "running 2"}), readFileLines(journal()));
        EXPECT_EQ("2\n", readWholeFile(dst() + "\\library.txt"));
    }

    const std::string product = "qmtest-handoff-" + std::to_string(GetCurrentProcessId());
    TemporaryFolder work{"updater-handoff"};
};

class ElevatedUpdater : public UpdaterHandoff,
                        public testing::WithParamInterface<const char*> {};

TEST_P(ElevatedUpdater, IsCopiedToTheTemporaryFolderStartedWithTheValuesAndUpdates) {
    const std::string productName = GetParam();
    const std::string command = driverCommand(testBinaryDirectory(), productName);
    const DebugRun run = runUnderDebugger(command);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(0u, run.exitCode);
    waitForTheRoundTrip("qmUpdater");

    EXPECT_TRUE(fileExists(temporaryUpdaterCopy()));
    const std::string parameters = "-product " + product + " -product-name " + quoted(productName) +
                                   " -src " + quoted(src()) + " -dst " + quoted(dst()) +
                                   " -cmd '" + command + "'";
    const std::vector<UpdaterLogEntry> entries = readUpdaterLog(logPath());
    ASSERT_GE(entries.size(), 4u);
    const std::vector<UpdaterLogEntry> handoff = {
        {"ERROR", "updateService: unable to open service QM Updater Service - " + product + " (1060)"},
        {"WARN", "updateEXE: launching: " + parameters},
        {"WARN", "qmUpdater: running " + temporaryUpdaterCopy()},
        {"WARN", "qmUpdater: parameters: " + parameters}};
    EXPECT_EQ(handoff, std::vector<UpdaterLogEntry>(entries.begin(), entries.begin() + 4));
    EXPECT_TRUE(hasEntry(entries, {"WARN", "qmUpdater: copied " + dst() + "\\library.txt"}));
}

INSTANTIATE_TEST_SUITE_P(ProductNames, ElevatedUpdater, testing::Values("Quorvel Meet Test", ""));

struct StartedProcess {
    UniqueKernelHandle handle;
    DWORD id = 0;
};

StartedProcess startProcess(const std::string& commandLine) {
    std::string mutableLine = commandLine;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    StartedProcess started;
    if (CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info)) {
        UniqueKernelHandle thread(info.hThread);
        started.handle.reset(info.hProcess);
        started.id = info.dwProcessId;
    }
    return started;
}

// The stand-in updater on its own, with a host that is still running: a probe
// program that waits for its message box to be answered.
class StandInUpdaterWait : public UpdaterHandoff, public testing::WithParamInterface<bool> {};

TEST_P(StandInUpdaterWait, CopiesOnlyOnceTheHostHasEndedAndStartsItAgain) {
    const bool byProcessId = GetParam();
    const std::string hostCommand = quoted(testBinaryDirectory() + "log_probe.exe") + " e 0";
    const StartedProcess host = startProcess(hostCommand);
    ASSERT_TRUE(host.handle);
    std::string parameters = "-product " + product + " -product-name \"N\" -src " + quoted(src()) +
                             " -dst " + quoted(dst());
    if (byProcessId)
        parameters += " -pid " + std::to_string(host.id);
    parameters += " -cmd '" + hostCommand + "'";
    const StartedProcess updater =
        startProcess(quoted(testBinaryDirectory() + "qmUpdater.exe") + " " + parameters);
    ASSERT_TRUE(updater.handle);

    const std::string waiting = byProcessId
        ? "qmUpdater: waiting for process " + std::to_string(host.id) + " to end"
        : "qmUpdater: waiting for " + testBinaryDirectory() + "log_probe.exe to end";
    EXPECT_TRUE(waitUntil([&] { return hasEntry(readUpdaterLog(logPath()), {"WARN", waiting}); },
                        kRoundTripTimeoutMs))
        << readWholeFile(logPath());
    EXPECT_EQ("1\n", readWholeFile(dst() + "\\library.txt"));

    MessageBoxWatcher(host.id).waitForBoxes(1, kRoundTripTimeoutMs);
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(updater.handle.get(), kRoundTripTimeoutMs));
    DWORD exitCode = 1;
    GetExitCodeProcess(updater.handle.get(), &exitCode);
    EXPECT_EQ(0u, exitCode) << readWholeFile(logPath());
    EXPECT_EQ("2\n", readWholeFile(dst() + "\\library.txt"));

    // The host started again: answer its box so that it ends too.
    const std::regex started("qmUpdater: started .* \\(process (\\d+)\\)");
    std::smatch match;
    DWORD restartedId = 0;
    for (const UpdaterLogEntry& entry : readUpdaterLog(logPath())) {
        if (std::regex_match(entry.text, match, started))
            restartedId = std::stoul(match[1].str());
    }
    ASSERT_NE(0u, restartedId) << readWholeFile(logPath());
    EXPECT_TRUE(MessageBoxWatcher(restartedId).waitForBoxes(1, kRoundTripTimeoutMs));
}

INSTANTIATE_TEST_SUITE_P(WaitingWays, StandInUpdaterWait, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "ByProcessId" : "ByExecutable";
                         });

class UpdaterService : public UpdaterHandoff {
protected:
    void SetUp() override {
        UpdaterHandoff::SetUp();
        const DebugRun install = runUnderDebugger(service + " -install " + product);
        ASSERT_EQ(0u, install.exitCode);
    }
    void TearDown() override {
        runUnderDebugger(service + " -uninstall " + product);
        UpdaterHandoff::TearDown();
    }
    const std::string service = quoted(testBinaryDirectory() + "qmUpdaterService.exe");
};

TEST_F(UpdaterService, ReceivesTheTenTextsAndUpdatesWhileTheElevatedWayStaysUnused) {
    const std::string command = driverCommand(testBinaryDirectory(), "");
    const DebugRun run = runUnderDebugger(command);
    ASSERT_TRUE(run.started);
    EXPECT_EQ(0u, run.exitCode);
    waitForTheRoundTrip("updater service");
    EXPECT_FALSE(fileExists(temporaryUpdaterCopy()));

    const std::vector<std::string> ten = {"-product", product, "-product-name", "{}",
                                          "-src", src(), "-dst", dst(), "-cmd", "'" + command + "'"};
    const std::string serviceName = "QM Updater Service - " + product;
    std::vector<UpdaterLogEntry> expected = {{"WARN", "updateService: launching: " + serviceName}};
    for (const std::string& text : ten)
        expected.push_back({"WARN", text});
    expected.push_back({"WARN", "updater service: started as " + serviceName});
    for (const std::string& text : ten)
        expected.push_back({"WARN", "updater service: argument: " + text});

    const std::vector<UpdaterLogEntry> entries = readUpdaterLog(logPath());
    ASSERT_GE(entries.size(), expected.size());
    EXPECT_EQ(expected, std::vector<UpdaterLogEntry>(entries.begin(), entries.begin() + expected.size()));
    for (const UpdaterLogEntry& entry : entries) {
        EXPECT_EQ(std::string::npos, entry.text.find("updateEXE")) << entry.text;
        EXPECT_NE(0u, entry.text.rfind("qmUpdater:", 0)) << entry.text;
    }
}

TEST_F(UpdaterHandoff, WithoutServiceAndUpdaterTheFailureIsLoggedAndTheRunEnds) {
    // A host installed without qmUpdater.exe beside it.
    const std::string host = work.path() + "\\host\\";
    CreateDirectoryA(host.c_str(), nullptr);
    for (const char* file : {"update_driver.exe", "rbase.dll", "rmain.dll"})
        ASSERT_TRUE(CopyFileA((testBinaryDirectory() + file).c_str(), (host + file).c_str(), FALSE));

    const DebugRun run = runUnderDebugger(driverCommand(host, "Quorvel Meet Test"));
    ASSERT_TRUE(run.started);
    EXPECT_EQ(static_cast<DWORD>(-1), run.exitCode);
    EXPECT_EQ((std::vector<std::string>{"updating 1", "not launched, appenders 0"}),
              readFileLines(journal()));
    EXPECT_FALSE(fileExists(temporaryUpdaterCopy()));
    EXPECT_EQ("1\n", readWholeFile(dst() + "\\library.txt"));

    const std::vector<UpdaterLogEntry> entries = readUpdaterLog(logPath());
    ASSERT_EQ(3u, entries.size()) << readWholeFile(logPath());
    EXPECT_EQ((UpdaterLogEntry{"ERROR", "updateService: unable to open service QM Updater Service - " +
                                            product + " (1060)"}),
              entries[0]);
    EXPECT_EQ((UpdaterLogEntry{"ERROR", "updateEXE: unable to copy updater to temp dir"}), entries[1]);
    EXPECT_EQ("ERROR", entries[2].level);
    EXPECT_TRUE(std::regex_match(entries[2].text, std::regex(R"(Unable to spawn updater \(err \d+\))")))
        << entries[2].text;
}

}  // namespace
