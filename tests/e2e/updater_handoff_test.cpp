// The updater hand-off end to end: a driver program, installed as the host of
// a test installation, calls spawnUpdater as the host does; the stand-in
// updaters really update its "library" from a signed update folder and start
// it again, and the test reads the journal of the driver's runs, the library
// directory and the product's updater log. Then what the updaters refuse:
// update folders that are not signed as they were made, and requests that
// leave the installation.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "debug_harness.h"
#include "desktop_user_token.h"
#include "message_box_watcher.h"
#include "running_processes.h"
#include "service_security.h"
#include "test_files.h"
#include "test_installation.h"
#include "unique_handle.h"
#include "update_fixtures.h"
#include "updater_log_file.h"
#include "wait_until.h"

namespace {

constexpr DWORD kRoundTripTimeoutMs = 120000;
// A host that ends by itself does so at once; longer, it is left over.
constexpr DWORD kLeftoverHostMs = 15000;

bool hasEntry(const std::vector<UpdaterLogEntry>& entries, const UpdaterLogEntry& wanted) {
    return std::find(entries.begin(), entries.end(), wanted) != entries.end();
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

bool hasEntryStartingWith(const std::vector<UpdaterLogEntry>& entries, const UpdaterLogEntry& wanted) {
    return std::any_of(entries.begin(), entries.end(), [&](const UpdaterLogEntry& entry) {
        return entry.level == wanted.level && entry.text.compare(0, wanted.text.size(), wanted.text) == 0;
    });
}

// An installation of the driver: its configuration names the library folder
// dst, where the driver lies as the host with the updater beside it, and the
// staging folder, where the signed update waits in next\.
class UpdaterHandoff : public testing::Test {
protected:
    void SetUp() override {
        DeleteFileA(temporaryUpdaterCopy().c_str());
        removeProductLogFolder(product);
        installation.setText("libFilePath", dst());
        installation.setText("updateFilePath", staging());
        ASSERT_TRUE(installBuiltFiles(dst(), {"update_driver.exe", "rbase.dll", "rmain.dll", "qmUpdater.exe"},
                                      "quorvelmeet.exe"));
        work.writeFile("dst\\library.txt", "1\n");
        ASSERT_TRUE(stageUpdateFixture("library-2", src()));
    }
    void TearDown() override {
        // A host an updater started again may still be ending, or be left
        // over by a failure: the next test installs over it.
        for (const UniqueKernelHandle& running : processesRunning(host(), SYNCHRONIZE | PROCESS_TERMINATE)) {
            if (WaitForSingleObject(running.get(), kLeftoverHostMs) != WAIT_OBJECT_0)
                TerminateProcess(running.get(), 1);
        }
        removeProductLogFolder(product);
        DeleteFileA(temporaryUpdaterCopy().c_str());
    }

    std::string staging() const { return work.path() + "\\staging"; }
    std::string src() const { return staging() + "\\next"; }
    std::string dst() const { return work.path() + "\\dst"; }
    std::string host() const { return dst() + "\\quorvelmeet.exe"; }
    std::string journal() const { return work.path() + "\\journal.txt"; }
    std::string logPath() const { return productUpdaterLogPath(product); }

    // The driver updates until its library has `version`.
    std::string driverCommand(const std::string& productName, const char* version = "2") const {
        return quoted(host()) + " " + quoted(journal()) + " " + quoted(product) + " " + quoted(productName) + " " +
               quoted(src()) + " " + quoted(dst()) + " " + version;
    }

    // Runs qmUpdater.exe as the host would, on the update in `folder`, with a
    // command that starts the driver content with a library of `version`
    // (else it would ask for the update again); returns its exit code once
    // it ends.
    DWORD runUpdaterOn(const std::string& folder, const char* version) const;

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
    TestInstallation installation{product};
};

class ElevatedUpdater : public UpdaterHandoff,
                        public testing::WithParamInterface<const char*> {};

TEST_P(ElevatedUpdater, IsCopiedToTheTemporaryFolderStartedWithTheValuesAndUpdates) {
    const std::string productName = GetParam();
    const std::string command = driverCommand(productName);
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
    EXPECT_TRUE(hasEntry(entries, {"WARN", "qmUpdater: signed update 2 of 1 files"}));
    // The installation keeps the manifest of what it now runs.
    EXPECT_EQ(readWholeFile(updateFixture("library-2") + "\\update-manifest.txt"),
              readWholeFile(dst() + "\\update-manifest.txt"));
    EXPECT_TRUE(hasEntry(entries, {"WARN", "qmUpdater: copied " + dst() + "\\library.txt"}));
    // Wine's user is an administrator and Wine shows no desktop shell window:
    // the host is started with the unelevated half of the updater's token.
    EXPECT_TRUE(hasEntry(entries, {"WARN", "qmUpdater: elevated, no desktop shell: the host starts with the "
                                           "updater's linked unelevated token"}))
        << readWholeFile(logPath());
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
    ASSERT_TRUE(installBuiltFiles(dst(), {"log_probe.exe"}, "quorvelmeet.exe"));
    const std::string hostCommand = quoted(host()) + " e 0";
    const StartedProcess running = startProcess(hostCommand);
    ASSERT_TRUE(running.handle);
    std::string parameters = "-product " + product + " -product-name \"N\" -src " + quoted(src()) +
                             " -dst " + quoted(dst());
    if (byProcessId)
        parameters += " -pid " + std::to_string(running.id);
    parameters += " -cmd '" + hostCommand + "'";
    const StartedProcess updater =
        startProcess(quoted(testBinaryDirectory() + "qmUpdater.exe") + " " + parameters);
    ASSERT_TRUE(updater.handle);

    const std::string waiting = byProcessId
        ? "qmUpdater: waiting for process " + std::to_string(running.id) + " to end"
        : "qmUpdater: waiting for " + host() + " to end";
    EXPECT_TRUE(waitUntil([&] { return hasEntry(readUpdaterLog(logPath()), {"WARN", waiting}); },
                        kRoundTripTimeoutMs))
        << readWholeFile(logPath());
    EXPECT_EQ("1\n", readWholeFile(dst() + "\\library.txt"));

    MessageBoxWatcher(running.id).waitForBoxes(1, kRoundTripTimeoutMs);
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
    UniqueKernelHandle restarted(OpenProcess(SYNCHRONIZE, FALSE, restartedId));
    EXPECT_TRUE(MessageBoxWatcher(restartedId).waitForBoxes(1, kRoundTripTimeoutMs));
    // It runs from the installation, which the next test installs again.
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(restarted.get(), kRoundTripTimeoutMs));
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
    const std::string command = driverCommand("");
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

// What a security descriptor's access list grants one well-known account.
ACCESS_MASK grantedTo(const std::vector<BYTE>& descriptor, WELL_KNOWN_SID_TYPE account) {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (descriptor.empty() ||
        !GetSecurityDescriptorDacl(const_cast<BYTE*>(descriptor.data()), &present, &dacl, &defaulted) || !present ||
        !dacl)
        return ~ACCESS_MASK(0);  // no list at all lets everyone in
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof sid;
    CreateWellKnownSid(account, nullptr, sid, &size);
    ACCESS_MASK granted = 0;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (GetAce(dacl, i, &entry) && static_cast<ACE_HEADER*>(entry)->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
            if (EqualSid(&allowed->SidStart, sid))
                granted |= allowed->Mask;
        }
    }
    return granted;
}

// Wine keeps no service's access list (it answers a fixed one), so the list
// the registration applies is read here rather than from the installed service.
TEST(UpdaterServiceSecurity, InteractiveUsersMayStartItAndDoNothingElse) {
    const std::vector<BYTE> descriptor = updaterServiceSecurity();
    EXPECT_EQ(static_cast<ACCESS_MASK>(SERVICE_START), grantedTo(descriptor, WinInteractiveSid));
    EXPECT_EQ(static_cast<ACCESS_MASK>(SERVICE_ALL_ACCESS), grantedTo(descriptor, WinBuiltinAdministratorsSid));
    EXPECT_EQ(0u, grantedTo(descriptor, WinWorldSid));
    EXPECT_EQ(0u, grantedTo(descriptor, WinAuthenticatedUserSid));
    EXPECT_EQ(0u, grantedTo(descriptor, WinBuiltinUsersSid));
    EXPECT_EQ(0u, grantedTo(descriptor, WinServiceSid));
}

std::vector<BYTE> tokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<BYTE> information(size);
    if (size == 0 || !GetTokenInformation(token, kind, information.data(), size, &size))
        information.clear();
    return information;
}

// The token the elevated updater starts the host with: the same user's,
// unelevated. (This test runs as Wine's administrator, elevated.)
TEST(DesktopUserToken, IsTheSameUsersUnelevatedToken) {
    HANDLE opened = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened));
    const UniqueKernelHandle own(opened);
    const DesktopUserToken user = desktopUserToken(own.get());
    ASSERT_TRUE(user.token) << GetLastError();
    EXPECT_NE(UserTokenOrigin::None, user.origin);

    const std::vector<BYTE> ownUser = tokenInformation(own.get(), TokenUser);
    const std::vector<BYTE> theirs = tokenInformation(user.token.get(), TokenUser);
    ASSERT_FALSE(ownUser.empty());
    ASSERT_FALSE(theirs.empty());
    EXPECT_TRUE(EqualSid(reinterpret_cast<const TOKEN_USER*>(ownUser.data())->User.Sid,
                         reinterpret_cast<const TOKEN_USER*>(theirs.data())->User.Sid));
    const std::vector<BYTE> elevation = tokenInformation(user.token.get(), TokenElevation);
    ASSERT_EQ(sizeof(TOKEN_ELEVATION), elevation.size());
    EXPECT_EQ(0u, reinterpret_cast<const TOKEN_ELEVATION*>(elevation.data())->TokenIsElevated);
}

TEST_F(UpdaterHandoff, WithoutServiceAndUpdaterTheFailureIsLoggedAndTheRunEnds) {
    // A host installed without qmUpdater.exe beside it.
    ASSERT_TRUE(DeleteFileA((dst() + "\\qmUpdater.exe").c_str()));

    const DebugRun run = runUnderDebugger(driverCommand("Quorvel Meet Test"));
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

// A staged folder that is not the update its publisher signed: the updater
// writes nothing, says why, and starts the host again on its old version.
struct BadFolder {
    const char* name;
    const char* fixture;
    void (*spoil)(const std::string& folder);
    const char* why;  // how the logged reason starts
};

void writeText(const std::string& path, const char* text) {
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), text, static_cast<DWORD>(strlen(text)), &written, nullptr);
}

const BadFolder kBadFolders[] = {
    {"Unsigned", "library-2",
     [](const std::string& folder) { DeleteFileA((folder + "\\update-manifest.sig").c_str()); }, "no "},
    {"TamperedFile", "library-2",
     [](const std::string& folder) { writeText(folder + "\\library.txt", "3\n"); },
     "SHA-256 of library.txt differs from the manifest"},
    {"LongerFile", "library-2",
     [](const std::string& folder) { writeText(folder + "\\library.txt", "22\n"); },
     "size of "},
    {"ExtraFile", "library-2",
     [](const std::string& folder) { writeText(folder + "\\version.dll", "MZ"); },
     "file not in the manifest: version.dll"},
    {"TamperedManifest", "library-2",
     [](const std::string& folder) {
         const std::string manifest = readWholeFile(folder + "\\update-manifest.txt");
         writeText(folder + "\\update-manifest.txt", (manifest + "file 2 " + std::string(64, '0') + " x.dll\n").c_str());
     },
     "bad signature"},
    {"OtherKey", "other-key", [](const std::string&) {}, "bad signature"},
    {"DotDot", "dotdot", [](const std::string&) {}, "unsafe path ..\\library.txt"},
};

DWORD UpdaterHandoff::runUpdaterOn(const std::string& folder, const char* version) const {
    const std::string hostCommand = quoted(host()) + " " + quoted(journal()) + " " + quoted(product) + " N " +
                                    quoted(folder) + " " + quoted(dst()) + " " + version;
    const std::string parameters = "-product " + product + " -product-name \"N\" -src " + quoted(folder) +
                                   " -dst " + quoted(dst()) + " -cmd '" + hostCommand + "'";
    const StartedProcess updater = startProcess(quoted(testBinaryDirectory() + "qmUpdater.exe") + " " + parameters);
    DWORD exitCode = 0;
    if (!updater.handle || WaitForSingleObject(updater.handle.get(), kRoundTripTimeoutMs) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(updater.handle.get(), &exitCode))
        return STILL_ACTIVE;
    return exitCode;
}

class RefusedUpdateFolder : public UpdaterHandoff, public testing::WithParamInterface<BadFolder> {};

TEST_P(RefusedUpdateFolder, CopiesNothingSaysWhyAndStartsTheOldHostAgain) {
    const BadFolder& bad = GetParam();
    const std::string folder = staging() + "\\" + bad.name;
    ASSERT_TRUE(stageUpdateFixture(bad.fixture, folder));
    bad.spoil(folder);
    EXPECT_EQ(1u, runUpdaterOn(folder, "1"));

    const std::vector<UpdaterLogEntry> entries = readUpdaterLog(logPath());
    EXPECT_TRUE(hasEntryStartingWith(entries, {"ERROR", std::string("qmUpdater: update refused, nothing copied: ") +
                                                            bad.why}))
        << readWholeFile(logPath());
    EXPECT_FALSE(hasEntryStartingWith(entries, {"WARN", "qmUpdater: copied"}));
    EXPECT_TRUE(hasEntry(entries, {"WARN", "qmUpdater: done (failed)"}));
    EXPECT_EQ("1\n", readWholeFile(dst() + "\\library.txt"));
    EXPECT_FALSE(fileExists(work.path() + "\\library.txt"));
    EXPECT_FALSE(fileExists(dst() + "\\version.dll"));
    EXPECT_FALSE(fileExists(dst() + "\\update-manifest.txt"));
    // The old host runs again.
    EXPECT_TRUE(waitUntil([&] { return !readFileLines(journal()).empty(); }, kRoundTripTimeoutMs));
    EXPECT_EQ((std::vector<std::string>{"running 1"}), readFileLines(journal()));
}

INSTANTIATE_TEST_SUITE_P(Folders, RefusedUpdateFolder, testing::ValuesIn(kBadFolders),
                         [](const testing::TestParamInfo<BadFolder>& info) { return info.param.name; });

// A signed update older than the one installed would bring back what that
// one fixed: replaying it changes nothing.
TEST_F(UpdaterHandoff, AnOlderSignedUpdateIsRefused) {
    EXPECT_EQ(0u, runUpdaterOn(src(), "2"));
    EXPECT_EQ("2\n", readWholeFile(dst() + "\\library.txt"));
    EXPECT_TRUE(waitUntil([&] { return !readFileLines(journal()).empty(); }, kRoundTripTimeoutMs));

    std::string newer = readWholeFile(dst() + "\\update-manifest.txt");
    const size_t version = newer.find("version 2\n");
    ASSERT_NE(std::string::npos, version);
    newer.replace(version, 10, "version 2.0.1\n");
    writeText(dst() + "\\update-manifest.txt", newer.c_str());
    writeText(dst() + "\\library.txt", "3\n");
    EXPECT_EQ(1u, runUpdaterOn(src(), "3"));
    EXPECT_TRUE(hasEntry(readUpdaterLog(logPath()),
                         {"ERROR", "qmUpdater: update refused, nothing copied: version 2 is older than the "
                                   "installed 2.0.1"}))
        << readWholeFile(logPath());
    EXPECT_EQ("3\n", readWholeFile(dst() + "\\library.txt"));
    EXPECT_TRUE(waitUntil([&] { return readFileLines(journal()).size() >= 2; }, kRoundTripTimeoutMs));
    EXPECT_EQ((std::vector<std::string>{"running 2", "running 3"}), readFileLines(journal()));
}

// A request that leaves the installation: the service copies nothing and
// starts nothing, whatever the folder holds.
struct StrayRequest {
    const char* name;
    const char* src;  // relative to the test's work folder
    const char* dst;
    const char* program;
    const char* why;  // how the logged reason starts
};

constexpr char kNotTheFolders[] = "source or destination is not the installation's staging or library folder";
constexpr char kNotTheHost[] = "the command starts ";

const StrayRequest kStrayRequests[] = {
    {"SourceOutsideStaging", "elsewhere", "dst", "dst\\quorvelmeet.exe", kNotTheFolders},
    {"SourceClimbingOutOfStaging", "staging\\..\\elsewhere", "dst", "dst\\quorvelmeet.exe", kNotTheFolders},
    {"OtherDestination", "staging\\next", "elsewhere", "dst\\quorvelmeet.exe", kNotTheFolders},
    {"DestinationInsideTheLibrary", "staging\\next", "dst\\sub", "dst\\quorvelmeet.exe", kNotTheFolders},
    {"OtherProgram", "staging\\next", "dst", "dst\\qmUpdater.exe", kNotTheHost},
    {"ProgramOutsideTheLibrary", "staging\\next", "dst", "elsewhere\\quorvelmeet.exe", kNotTheHost},
};

// Beside the installation, "elsewhere" holds a signed update and a host too.
class UpdaterServiceRefusal : public UpdaterService, public testing::WithParamInterface<StrayRequest> {
protected:
    void SetUp() override {
        UpdaterService::SetUp();
        ASSERT_TRUE(stageUpdateFixture("library-2", work.path() + "\\elsewhere"));
        ASSERT_TRUE(installBuiltFiles(work.path() + "\\elsewhere", {"update_driver.exe"}, "quorvelmeet.exe"));
    }
};

TEST_P(UpdaterServiceRefusal, CopiesAndStartsNothing) {
    const StrayRequest& stray = GetParam();
    const std::string source = work.path() + "\\" + stray.src;
    const std::string destination = work.path() + "\\" + stray.dst;
    const std::string command = quoted(work.path() + "\\" + stray.program) + " " + quoted(journal()) + " " +
                                quoted(product) + " N " + quoted(source) + " " + quoted(destination) + " 2";
    const std::string quotedCommand = "'" + command + "'";
    const char* arguments[] = {"-product", product.c_str(), "-product-name", "N", "-src", source.c_str(),
                               "-dst", destination.c_str(), "-cmd", quotedCommand.c_str()};
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    ASSERT_TRUE(manager);
    UniqueServiceHandle started(OpenServiceA(manager.get(), ("QM Updater Service - " + product).c_str(),
                                             SERVICE_START | SERVICE_QUERY_STATUS));
    ASSERT_TRUE(started);
    ASSERT_TRUE(StartServiceA(started.get(), 10, arguments)) << GetLastError();

    EXPECT_TRUE(waitUntil([&] {
        SERVICE_STATUS status = {};
        return QueryServiceStatus(started.get(), &status) && status.dwCurrentState == SERVICE_STOPPED;
    }, kRoundTripTimeoutMs));
    const std::vector<UpdaterLogEntry> entries = readUpdaterLog(logPath());
    EXPECT_TRUE(hasEntryStartingWith(entries, {"ERROR", std::string("updater service: request refused: ") + stray.why}))
        << readWholeFile(logPath());
    EXPECT_FALSE(hasEntryStartingWith(entries, {"WARN", "updater service: copied"}));
    EXPECT_FALSE(hasEntryStartingWith(entries, {"WARN", "updater service: started \""}));
    EXPECT_EQ("1\n", readWholeFile(dst() + "\\library.txt"));
    EXPECT_FALSE(fileExists(dst() + "\\sub\\library.txt"));
    EXPECT_EQ("2\n", readWholeFile(work.path() + "\\elsewhere\\library.txt"));
    EXPECT_FALSE(fileExists(journal()));
}

INSTANTIATE_TEST_SUITE_P(Requests, UpdaterServiceRefusal, testing::ValuesIn(kStrayRequests),
                         [](const testing::TestParamInfo<StrayRequest>& info) { return info.param.name; });

}  // namespace
