// The exported operations. Each one catches everything: no exception may
// cross into a caller that could be built with another compiler.
#include "crash_reporter.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>

#include "crash_handlers.h"
#include "crash_report_writer.h"
#include "last_error_text.h"
#include "minidump_writer.h"
#include "plain_file_name.h"
#include "report_paths.h"
#include "report_settings.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr WORD kInstallInfoSize = 104;
#if defined(_M_IX86) || defined(__i386__)
static_assert(sizeof(CrashReporterInstallInfo) == kInstallInfoSize, "the install record is 104 bytes on 32-bit");
#endif
// A crash may come while a thread holds the lock (adding a file): the report
// waits this long for it, then goes without attachments.
constexpr auto kCrashLockWait = std::chrono::seconds(2);

struct InstalledReporter {
    ReportSettings settings;
    std::unique_ptr<MinidumpWriter> minidump;
};

std::timed_mutex reporterMutex;
std::unique_ptr<InstalledReporter> installed;

std::string textOr(LPCSTR text, const std::string& fallback) {
    return text && *text ? std::string(text) : fallback;
}

std::string executableName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = fileNamePart(path);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string defaultReportRoot(const std::string& applicationName) {
    char temporary[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof temporary, temporary);
    if (length == 0 || length > MAX_PATH)
        return {};
    return withTrailingSeparator(temporary) + safeFolderName(applicationName) + " crash reports\\";
}

void writeReportOf(const CrashEvent& event) {
    std::unique_lock<std::timed_mutex> lock(reporterMutex, kCrashLockWait);
    const InstalledReporter* reporter = installed.get();
    if (!reporter)
        return;
    if (lock.owns_lock()) {
        writeCrashReport(reporter->settings, *reporter->minidump, event);
        return;
    }
    // The lock's holder may be the thread that crashed. What install set does
    // not change afterwards; the attachments may be half changed.
    ReportSettings fixed;
    fixed.applicationName = reporter->settings.applicationName;
    fixed.applicationVersion = reporter->settings.applicationVersion;
    fixed.reportRoot = reporter->settings.reportRoot;
    fixed.minidumpType = reporter->settings.minidumpType;
    writeCrashReport(fixed, *reporter->minidump, event);
}

// Runs on the writer thread, or in the crashed thread's handler: nothing may
// be thrown from here.
void onCrash(const CrashEvent& event) {
    try {
        writeReportOf(event);
    } catch (...) {
        OutputDebugStringA("crash reporter: the report could not be completed\n");
    }
}

int fail(const std::string& text) {
    setLastErrorText(text);
    return kFailure;
}

int succeed() {
    setLastErrorText("OK");
    return kSuccess;
}

template <typename Operation>
int guarded(Operation operation) {
    try {
        return operation();
    } catch (const std::exception& error) {
        return fail(std::string("Internal error: ") + error.what());
    } catch (...) {
        return fail("Internal error.");
    }
}

int install(const CrashReporterInstallInfo* info) {
    if (!info)
        return fail("The install record is missing.");
    if (info->size != kInstallInfoSize) {
        char text[128] = {};
        std::snprintf(text, sizeof text, "The install record's size is %u; it must be %u.",
                      static_cast<unsigned>(info->size), static_cast<unsigned>(kInstallInfoSize));
        return fail(text);
    }
    std::lock_guard<std::timed_mutex> lock(reporterMutex);
    if (installed)
        return fail("The crash reporter is already installed.");
    auto reporter = std::make_unique<InstalledReporter>();
    ReportSettings& settings = reporter->settings;
    settings.applicationName = textOr(info->applicationName, executableName());
    settings.applicationVersion = textOr(info->applicationVersion, "");
    settings.minidumpType = info->minidumpType;
    settings.reportRoot = info->reportFolder && *info->reportFolder
                              ? withTrailingSeparator(info->reportFolder)
                              : defaultReportRoot(settings.applicationName);
    if (settings.reportRoot.empty())
        return fail("No folder for the reports: the temporary folder is not known.");
    std::string error;
    reporter->minidump = MinidumpWriter::load(textOr(info->debugHelpLibrary, ""), error);
    if (!reporter->minidump)
        return fail(error);
    installed = std::move(reporter);
    installCrashHandlers(info->flags, onCrash);
    char line[MAX_PATH + 128] = {};
    std::snprintf(line, sizeof line, "crash reporter: installed (flags 0x%lX, minidump type 0x%lX, reports in %s)\n",
                  info->flags, info->minidumpType, settings.reportRoot.c_str());
    OutputDebugStringA(line);
    return succeed();
}

int uninstall() {
    std::lock_guard<std::timed_mutex> lock(reporterMutex);
    if (!installed)
        return fail("The crash reporter is not installed.");
    removeCrashHandlers();
    installed.reset();
    OutputDebugStringA("crash reporter: uninstalled\n");
    return succeed();
}

bool nameIsTaken(const ReportSettings& settings, const std::string& name) {
    for (const char* own : {kDumpFileName, kDescriptionFileName, kScreenshotFileName}) {
        if (lstrcmpiA(own, name.c_str()) == 0)
            return true;
    }
    for (const AttachedFile& file : settings.files) {
        if (lstrcmpiA(file.name.c_str(), name.c_str()) == 0)
            return true;
    }
    return false;
}

int addFile(LPCSTR path, LPCSTR destinationName, LPCSTR description, DWORD flags) {
    if (!path || !*path)
        return fail("No file given.");
    AttachedFile file;
    file.path = path;
    file.name = destinationName ? std::string(destinationName) : fileNamePart(file.path);
    file.description = textOr(description, "");
    file.copy = (flags & CRASH_FILE_MAKE_COPY) != 0;
    if (!isPlainFileName(file.name))
        return fail("\"" + file.name + "\" is not a plain file name.");
    std::lock_guard<std::timed_mutex> lock(reporterMutex);
    if (!installed)
        return fail("The crash reporter is not installed.");
    if (nameIsTaken(installed->settings, file.name))
        return fail("The report already has a file named \"" + file.name + "\".");
    installed->settings.files.push_back(std::move(file));
    return succeed();
}

int addScreenshot(DWORD flags) {
    if (!(flags & CRASH_SCREENSHOT_MAIN_WINDOW))
        return fail("Only a screenshot of the main window is supported.");
    std::lock_guard<std::timed_mutex> lock(reporterMutex);
    if (!installed)
        return fail("The crash reporter is not installed.");
    installed->settings.screenshot = true;
    return succeed();
}

}  // namespace

extern "C" {

int WINAPI crashReporterInstall(const CrashReporterInstallInfo* info) {
    return guarded([&] { return install(info); });
}

int WINAPI crashReporterUninstall(void) {
    return guarded([] { return uninstall(); });
}

int WINAPI crashReporterLastErrorText(LPSTR buffer, UINT size) {
    try {
        return copyLastErrorText(buffer, size);
    } catch (...) {
        return -1;
    }
}

int WINAPI crashReporterAddFile(LPCSTR path, LPCSTR destinationName, LPCSTR description, DWORD flags) {
    return guarded([&] { return addFile(path, destinationName, description, flags); });
}

int WINAPI crashReporterAddScreenshot(DWORD flags, int /*quality*/) {
    return guarded([&] { return addScreenshot(flags); });
}

}  // extern "C"
