// The installer end to end: a silent installation, links opened through the
// shell that start the installed host, and a silent uninstallation after
// which nothing of the installation is left. The host started by a link is
// no child of a debugger here: the test product, put into the installation
// as the default client's library, writes its records to a journal file.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "host_fixture.h"
#include "launch_record.h"
#include "owner_window.h"
#include "preload_table.h"
#include "registry_config.h"
#include "test_files.h"
#include "text_lines.h"
#include "unique_handle.h"
#include "updater_arguments.h"
#include "updater_log_file.h"
#include "updater_names.h"
#include "wait_until.h"

namespace {

// One installation, a host start per link and the uninstallation, each some
// seconds under the emulator.
constexpr DWORD kSetupTimeoutMs = 180000;
constexpr DWORD kHostTimeoutMs = 120000;

constexpr char kSetupProgram[] = "quorvelmeet-setup.exe";
constexpr char kDisplayName[] = "Quorvel Meet";
constexpr char kHostProgram[] = "quorvelmeet.exe";
constexpr char kServiceProgram[] = "qmUpdaterService.exe";
constexpr char kUninstaller[] = "uninstall.exe";
constexpr char kLibraryExtension[] = ".dll";

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// Files and folders alike.
std::optional<std::string> present(const std::string& path) {
    return fileExists(path) ? std::optional<std::string>("present") : std::nullopt;
}

std::optional<std::string> registryText(HKEY root, const std::string& key, const char* value) {
    char text[1024] = {};
    DWORD size = sizeof text;
    if (RegGetValueA(root, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(text);
}

std::optional<std::string> registryKey(HKEY root, const std::string& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    UniqueKey owned(opened);
    return std::string("present");
}

// The program a service runs, as registered.
std::optional<std::string> serviceProgram(const std::string& name) {
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    UniqueServiceHandle service(manager ? OpenServiceA(manager.get(), name.c_str(), SERVICE_QUERY_CONFIG) : nullptr);
    if (!service)
        return std::nullopt;
    DWORD needed = 0;
    QueryServiceConfigA(service.get(), nullptr, 0, &needed);
    std::vector<char> buffer(needed + sizeof(QUERY_SERVICE_CONFIGA));
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (!QueryServiceConfigA(service.get(), config, static_cast<DWORD>(buffer.size()), &needed))
        return std::string("unreadable");
    return std::string(config->lpBinaryPathName ? config->lpBinaryPathName : "");
}

std::string commonProgramsFolder() {
    char folder[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, folder);
    return folder;
}

// The journal's lines that start with `prefix`.
std::vector<std::string> journalLines(const std::string& journal, const std::string& prefix) {
    return linesStartingWith(readFileLines(journal), prefix);
}

// Something an installation leaves in the system, and what it reads while
// the installation is there; absent (nullopt) once it is gone.
struct Trace {
    std::string what;
    std::function<std::optional<std::string>()> read;
    std::string installed;
};

struct LinkCase {
    const char* link;
    std::vector<std::string> received;  // parts of the product's qmInit record
};

class Installer : public testing::Test {
protected:
    void SetUp() override {
#ifndef QM_INSTALLER_BUILT
        GTEST_SKIP() << "makensis was not found when the build was configured: there is no installer to test";
#endif
        // An installation already in the prefix (made by hand, or by a run
        // that ended half-way) would mix its traces with this one's.
        removeInstallation();
    }

    void TearDown() override {
        if (IsSkipped())
            return;
        closeHost();
        removeInstallation();
    }

    std::vector<Trace> traces() const {
        const std::string configKey = installationKeyPath(defaults.product, defaults.state);
        const std::string productKey = configKey.substr(0, configKey.find_last_of('\\'));
        const std::string service = updaterServiceName(defaults.product.c_str());
        const std::string host = folder + "\\" + kHostProgram;
        std::vector<Trace> all = {
            {"the installation folder", [this] { return present(folder); }, "present"},
            {"libFilePath", [configKey] { return registryText(HKEY_LOCAL_MACHINE, configKey, "libFilePath"); },
             folder},
            {"updateFilePath",
             [configKey] { return registryText(HKEY_LOCAL_MACHINE, configKey, "updateFilePath"); }, staging},
            {"the staging folder", [this] { return present(staging); }, "present"},
            {"the product's configuration key",
             [productKey] { return registryKey(HKEY_LOCAL_MACHINE, productKey); }, "present"},
            {"the scheme's URL Protocol",
             [this] { return registryText(HKEY_CLASSES_ROOT, defaults.product, "URL Protocol"); }, ""},
            {"the scheme's command",
             [this] { return registryText(HKEY_CLASSES_ROOT, defaults.product + "\\shell\\open\\command", ""); },
             quoted(host) + " %1"},
            {"the scheme's icon",
             [this] { return registryText(HKEY_CLASSES_ROOT, defaults.product + "\\DefaultIcon", ""); },
             quoted(host) + ",0"},
            {"the scheme's key", [this] { return registryKey(HKEY_CLASSES_ROOT, defaults.product); }, "present"},
            {"the updater service", [service] { return serviceProgram(service); },
             quoted(folder + "\\" + kServiceProgram)},
            {"the Start-menu entry", [this] { return present(shortcut); }, "present"},
            {"the uninstall entry",
             [this] { return registryText(HKEY_LOCAL_MACHINE, uninstallKey, "UninstallString"); },
             quoted(folder + "\\" + kUninstaller)},
            {"the uninstall entry's name",
             [this] { return registryText(HKEY_LOCAL_MACHINE, uninstallKey, "DisplayName"); }, kDisplayName},
        };
        std::vector<std::string> files = {kHostProgram, kServiceProgram, kUpdaterExecutableName, "CrashRpt1403.dll",
                                          kUninstaller};
        for (int row = 0; row < preloadRowCount(); ++row)
            files.push_back(preloadTable[row].fileName);
        for (const std::string& file : files) {
            const std::string path = folder + "\\" + file;
            all.push_back({file, [path] { return present(path); }, "present"});
        }
        return all;
    }

    // Opens the link as a browser hands it over, and sees the product's start
    // in the journal.
    void openLink(const std::string& link) {
        DeleteFileA(journal.c_str());
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
        info.lpVerb = "open";
        info.lpFile = link.c_str();
        info.nShow = SW_SHOWNORMAL;
        ASSERT_TRUE(ShellExecuteExA(&info)) << GetLastError();
        host.reset(info.hProcess);
        ASSERT_TRUE(host) << "the shell gave no process for " << link;
        ASSERT_TRUE(waitUntil([this] { return !journalLines(journal, "qmStart").empty(); }, kHostTimeoutMs))
            << readWholeFile(journal);
    }

    // Closes the running host as the user would and returns its exit code.
    DWORD closeHost() {
        if (!host)
            return 0;
        if (HWND window = waitForHostWindow(defaults.product, 5000))
            PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(host.get(), kHostTimeoutMs) != WAIT_OBJECT_0)
            TerminateProcess(host.get(), 1);
        DWORD exitCode = STILL_ACTIVE;
        GetExitCodeProcess(host.get(), &exitCode);
        host.reset();
        return exitCode;
    }

    DebugRun install() const {
        DebugRunOptions options;
        options.timeoutMs = kSetupTimeoutMs;
        return runUnderDebugger(quoted(testBinaryDirectory() + kSetupProgram) + " /S /D=" + folder, options);
    }

    // Runs the uninstaller that the uninstall entry names, silently, from a
    // copy as it would run itself (a program cannot remove its own file), so
    // that it has finished when this returns.
    std::optional<DebugRun> uninstall() const {
        const std::optional<std::string> location =
            registryText(HKEY_LOCAL_MACHINE, uninstallKey, "InstallLocation");
        std::optional<std::string> command = registryText(HKEY_LOCAL_MACHINE, uninstallKey, "UninstallString");
        if (!location || !command)
            return std::nullopt;
        if (command->size() >= 2 && command->front() == '"' && command->back() == '"')
            command = command->substr(1, command->size() - 2);
        const std::string copy = work.path() + "\\" + kUninstaller;
        if (!CopyFileA(command->c_str(), copy.c_str(), FALSE))
            return std::nullopt;
        DebugRunOptions options;
        options.timeoutMs = kSetupTimeoutMs;
        DebugRun run = runUnderDebugger(quoted(copy) + " /S _?=" + *location, options);
        DeleteFileA(copy.c_str());
        return run;
    }

    void removeInstallation() const {
        DeleteFileA(clientLibrary.c_str());
        uninstall();
    }

    const qm::LaunchParameters defaults = qm::defaultLaunchParameters();
    TemporaryFolder work{"installer"};
    // A space in the folder: the scheme's command must quote the program.
    const std::string folder = work.path() + "\\" + kDisplayName;
    const std::string staging = commonAppDataFolder() + "\\Quorvel\\" + defaults.product + "\\staging";
    const std::string shortcut = commonProgramsFolder() + "\\" + kDisplayName + "\\" + kDisplayName + ".lnk";
    const std::string uninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + defaults.product;
    // The library the host loads for the default client, before the demo's.
    const std::string clientLibrary = folder + "\\" + defaults.client + kLibraryExtension;
    const std::string journal = work.path() + "\\journal.txt";
    ScopedEnvironment journalSetting{{"QMTP_JOURNAL", journal}};
    UniqueKernelHandle host;
};

TEST_F(Installer, InstallsStartsTheHostFromLinksAndUninstallsWithoutTrace) {
    const DebugRun installation = install();
    ASSERT_TRUE(installation.started);
    EXPECT_FALSE(installation.timedOut);
    EXPECT_EQ(0u, installation.exitCode);
    EXPECT_TRUE(installation.boxes.empty());
    for (const Trace& trace : traces())
        EXPECT_EQ(trace.installed, trace.read().value_or("(absent)")) << trace.what;

    ASSERT_TRUE(CopyFileA((testBinaryDirectory() + "testproduct.dll").c_str(), clientLibrary.c_str(), FALSE));
    // The link's URL reaches the host without quotes around it, or the last
    // value would end in one.
    const std::vector<LinkCase> links = {
        {"quorvelmeet://launch?scene=2&language=es", {" language=es ", " scene=2 ", " product=quorvelmeet "}},
        {"quorvelmeet://host/open/QUORVELMEET/12", {" client=QUORVELMEET ", " scene=12 "}},
    };
    for (const LinkCase& link : links) {
        SCOPED_TRACE(link.link);
        openLink(link.link);
        if (HasFatalFailure())
            return;
        const std::vector<std::string> starts = journalLines(journal, "qmInit ");
        ASSERT_EQ(1u, starts.size()) << readWholeFile(journal);
        for (const std::string& part : link.received)
            EXPECT_NE(std::string::npos, starts[0].find(part)) << part << " in " << starts[0];
        EXPECT_EQ(0u, closeHost());
        EXPECT_EQ(1u, journalLines(journal, "qmStop").size()) << readWholeFile(journal);
    }
    ASSERT_TRUE(DeleteFileA(clientLibrary.c_str()));

    const std::optional<DebugRun> uninstallation = uninstall();
    ASSERT_TRUE(uninstallation.has_value()) << "no uninstall entry to run";
    EXPECT_FALSE(uninstallation->timedOut);
    EXPECT_EQ(0u, uninstallation->exitCode);
    for (const Trace& trace : traces())
        EXPECT_FALSE(trace.read().has_value()) << trace.what << " is left: " << *trace.read();
}

}  // namespace
