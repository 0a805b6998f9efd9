// The update round trip with the real host, installed with build 1 of the
// test product in the library folder; build 1 answers its update check with
// the updater, build 2 waits in a signed update folder in the staging
// folder. The host hands over and ends, the stand-in updater checks and
// copies build 2 into the library folder and starts the host again, which
// runs build 2. The restarted host is no child of the test: its window
// is found by class, and its product writes its records to a journal that
// the command line names (the one thing that reaches it through either
// updater).
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "host_fixture.h"
#include "owner_window.h"
#include "running_processes.h"
#include "test_files.h"
#include "text_lines.h"
#include "unique_handle.h"
#include "update_fixtures.h"
#include "updater_log_file.h"
#include "wait_until.h"

namespace {

// Two host starts and an updater, each a few seconds under the emulator.
constexpr DWORD kRoundTripTimeoutMs = 180000;
constexpr DWORD kCloseTimeoutMs = 60000;
constexpr char kClient[] = "rtproduct";
constexpr char kProductName[] = "Round Trip";

enum class UpdaterWay { ElevatedExecutable, Service };

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The ids of the processes running `image`, the test's children or not.
std::vector<DWORD> processIdsRunning(const std::string& image) {
    std::vector<DWORD> ids;
    for (const UniqueKernelHandle& process : processesRunning(image, 0))
        ids.push_back(GetProcessId(process.get()));
    return ids;
}

// The exit code of a process that is not the test's child, once it ends;
// nothing when it still runs after `timeoutMs`.
bool waitForExit(DWORD processId, DWORD timeoutMs, DWORD& exitCode) {
    UniqueKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process)
        return false;
    return WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0 &&
           GetExitCodeProcess(process.get(), &exitCode);
}

void terminateIfRunning(DWORD processId, const std::string& image) {
    UniqueKernelHandle process(
        OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    // The id may have been reused by then: only the program we mean is ended.
    if (process && lstrcmpiA(processImagePath(process.get()).c_str(), image.c_str()) == 0)
        TerminateProcess(process.get(), 1);
}

// The hosts the updaters started, as their lines name them.
std::vector<DWORD> restartedHosts(const std::vector<UpdaterLogEntry>& entries) {
    const std::regex started(".*: started .* \\(process (\\d+)\\)");
    std::vector<DWORD> ids;
    std::smatch match;
    for (const UpdaterLogEntry& entry : entries) {
        if (std::regex_match(entry.text, match, started))
            ids.push_back(std::stoul(match[1].str()));
    }
    return ids;
}

bool sameFileContents(const std::string& a, const std::string& b) {
    const std::string contents = readWholeFile(a);
    return !contents.empty() && contents == readWholeFile(b);
}

class HostUpdateRoundTrip : public testing::TestWithParam<UpdaterWay> {
protected:
    void SetUp() override {
        removeProductLogFolder(host.product);
        DeleteFileA(temporaryUpdaterCopy().c_str());
        // The library folder of this installation alone, with the host in
        // it: the update replaces its product.
        host.installation.setText("libFilePath", library.path());
        ASSERT_TRUE(installBuiltFiles(library.path(), {"quorvelmeet.exe", "CrashRpt1403.dll", "rbase.dll",
                                                       "rmain.dll", "qmUpdater.exe"}));
        ASSERT_TRUE(CopyFileA(built("testproduct.dll").c_str(), installedProduct().c_str(), FALSE));
        ASSERT_TRUE(stageUpdateFixture("roundtrip", staged()));
        if (GetParam() == UpdaterWay::Service) {
            ASSERT_EQ(0u, runUnderDebugger(serviceProgram() + " -install " + host.product).exitCode);
        }
    }

    void TearDown() override {
        endWhatIsLeft();
        if (GetParam() == UpdaterWay::Service)
            runUnderDebugger(serviceProgram() + " -uninstall " + host.product);
        removeProductLogFolder(host.product);
        DeleteFileA(temporaryUpdaterCopy().c_str());
    }

    static std::string built(const char* file) { return testBinaryDirectory() + file; }
    static std::string serviceProgram() { return quoted(built("qmUpdaterService.exe")); }
    std::string updaterImage() const {
        return fullPathOf(GetParam() == UpdaterWay::Service ? built("qmUpdaterService.exe") : temporaryUpdaterCopy());
    }
    std::string installedProduct() const { return library.path() + "\\" + kClient + ".dll"; }
    std::string installedHost() const { return library.path() + "\\quorvelmeet.exe"; }
    std::string installedCommandLine() const {
        return quoted(installedHost()) + " -product " + host.product + " -client " + kClient + " " + arguments();
    }
    // Not the host's own staged library folder, which each start removes.
    std::string staged() const { return host.staging.path() + "\\next"; }
    std::string journal() const { return work.path() + "\\journal.txt"; }
    std::string logPath() const { return commonAppDataFolder() + "\\Quorvel\\" + host.product + "\\qmUpdater.log"; }
    std::string arguments() const { return "-qmtp_journal " + quoted(journal()); }

    // The host's own lines, which open the log, with their levels.
    std::vector<UpdaterLogEntry> handOffLines() const {
        const std::string service = "QM Updater Service - " + host.product;
        const std::string command = installedCommandLine();
        if (GetParam() == UpdaterWay::ElevatedExecutable) {
            const std::string parameters = "-product " + host.product + " -product-name " + quoted(kProductName) +
                                           " -src " + quoted(staged()) + " -dst " + quoted(library.path()) +
                                           " -cmd '" + command + "'";
            return {{"ERROR", "updateService: unable to open service " + service + " (1060)"},
                    {"WARN", "updateEXE: launching: " + parameters}};
        }
        std::vector<UpdaterLogEntry> lines = {{"WARN", "updateService: launching: " + service}};
        for (const std::string& text : {std::string("-product"), host.product, std::string("-product-name"),
                                        std::string(kProductName), std::string("-src"), staged(),
                                        std::string("-dst"), library.path(), std::string("-cmd"),
                                        "'" + command + "'"})
            lines.push_back({"WARN", text});
        return lines;
    }
    std::string updaterName() const {
        return GetParam() == UpdaterWay::Service ? "updater service" : "qmUpdater";
    }

    // Only after a failure is anything still running: a product that was
    // not replaced asks for the update again, so the updaters go first.
    void endWhatIsLeft() const {
        for (DWORD id : processIdsRunning(updaterImage()))
            terminateIfRunning(id, updaterImage());
        if (HWND window = waitForHostWindow(host.product, 0)) {
            DWORD id = 0;
            GetWindowThreadProcessId(window, &id);
            PostMessageW(window, WM_CLOSE, 0, 0);
            DWORD exitCode = 0;
            if (!waitForExit(id, kCloseTimeoutMs, exitCode))
                terminateIfRunning(id, installedHost());
        }
        for (DWORD id : restartedHosts(readUpdaterLog(logPath())))
            terminateIfRunning(id, installedHost());
    }

    HostFixture host{GetParam() == UpdaterWay::Service ? "e2eroundtrip-service" : "e2eroundtrip-exe"};
    TemporaryFolder library{host.product + "-library"};
    TemporaryFolder work{host.product + "-work"};
};

TEST_P(HostUpdateRoundTrip, TheRestartedHostRunsTheStagedBuild) {
    ScopedEnvironment product({{"QMTP_FLAGS", "4"},
                               {"QMTP_SRC", staged()},
                               {"QMTP_NAME", kProductName},
                               {"QMTP_NEWEST_BUILD", "2"}});
    const DebugRun first = runUnderDebugger(installedCommandLine());
    ASSERT_TRUE(first.started);
    EXPECT_EQ(0u, first.exitCode);
    EXPECT_TRUE(first.boxes.empty());
    EXPECT_TRUE(productSaid(first, "qmUpdateSystemGetData flags=4"));
    EXPECT_FALSE(productSaid(first, "qmInit"));

    // Build 2 runs once the journal tells its start.
    EXPECT_TRUE(waitUntil([&] { return !linesStartingWith(readFileLines(journal()), "qmStart").empty(); },
                        kRoundTripTimeoutMs))
        << readWholeFile(logPath());
    const std::vector<std::string> journalLines = readFileLines(journal());
    const std::vector<std::string> checks = linesStartingWith(journalLines, "qmUpdateSystem ");
    ASSERT_EQ(2u, checks.size()) << readWholeFile(journal());
    EXPECT_NE(std::string::npos, checks[0].find(" build=1")) << checks[0];
    EXPECT_NE(std::string::npos, checks[1].find(" build=2")) << checks[1];
    EXPECT_EQ((std::vector<std::string>{"qmUpdateSystemGetData flags=4", "qmUpdateSystemGetData flags=0"}),
              linesStartingWith(journalLines, "qmUpdateSystemGetData"));
    EXPECT_EQ(1u, linesStartingWith(journalLines, "qmInit").size());
    EXPECT_TRUE(sameFileContents(built("testproduct_newer.dll"), installedProduct()));

    // The host the updater started is the one whose window shows.
    const std::vector<UpdaterLogEntry> entries = readUpdaterLog(logPath());
    const std::vector<DWORD> restarted = restartedHosts(entries);
    ASSERT_EQ(1u, restarted.size()) << readWholeFile(logPath());
    const HWND window = host.waitForRunningProduct(kCloseTimeoutMs);
    ASSERT_NE(nullptr, window);
    DWORD windowProcess = 0;
    GetWindowThreadProcessId(window, &windowProcess);
    EXPECT_EQ(restarted[0], windowProcess);

    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_TRUE(waitForExit(restarted[0], kCloseTimeoutMs, exitCode));
    EXPECT_EQ(0u, exitCode);
    EXPECT_EQ(1u, linesStartingWith(readFileLines(journal()), "qmStop").size());
    // The updater ends by itself once the host runs again.
    EXPECT_TRUE(waitUntil([&] { return processIdsRunning(updaterImage()).empty(); }, kCloseTimeoutMs));

    const std::vector<UpdaterLogEntry> expected = handOffLines();
    ASSERT_GE(entries.size(), expected.size()) << readWholeFile(logPath());
    EXPECT_EQ(expected, std::vector<UpdaterLogEntry>(entries.begin(), entries.begin() + expected.size()));
    const UpdaterLogEntry done = {"WARN", updaterName() + ": done (updated)"};
    EXPECT_EQ(done, readUpdaterLog(logPath()).back()) << readWholeFile(logPath());
    EXPECT_EQ(GetParam() == UpdaterWay::ElevatedExecutable, fileExists(temporaryUpdaterCopy()));
}

INSTANTIATE_TEST_SUITE_P(Ways, HostUpdateRoundTrip,
                         testing::Values(UpdaterWay::ElevatedExecutable, UpdaterWay::Service),
                         [](const testing::TestParamInfo<UpdaterWay>& info) {
                             return info.param == UpdaterWay::Service ? "Service" : "ElevatedExecutable";
                         });

}  // namespace
