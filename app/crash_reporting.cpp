#include "crash_reporting.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>

#include "crash_reporter.h"
#include "host_version.h"

namespace {

constexpr WORD kInstallRecordSize = 104;
constexpr DWORD kAllHandlersWithInfoFields = CRASH_HANDLER_ALL | CRASH_SHOW_ADDITIONAL_INFO_FIELDS;
// Data segments, full memory (filtered), thread data, memory info, thread
// info and module headers.
constexpr DWORD kMinidumpType = 0x8190B;
const char* const kUploadUrl = "https://crashreports.quorvel.example/index.php/crashReport/uploadExternal";

static_assert(sizeof(CrashReporterInstallInfo) == kInstallRecordSize || sizeof(void*) != 4,
              "the install record is 104 bytes in the 32-bit host");

}  // namespace

void installCrashReporting() {
    char currentDirectory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, currentDirectory);

    CrashReporterInstallInfo info = {};
    info.size = sizeof info;
    info.applicationName = "quorvelmeet";
    info.applicationVersion = QM_VERSION_TEXT;
    info.uploadUrl = kUploadUrl;
    info.senderDirectory = currentDirectory;
    info.transportPriorities[0] = 1;
    info.transportPriorities[1] = CRASH_TRANSPORT_NEVER;
    info.transportPriorities[2] = CRASH_TRANSPORT_NEVER;
    info.flags = kAllHandlersWithInfoFields;
    info.minidumpType = kMinidumpType;

    if (crashReporterInstall(&info) != 0) {
        char reason[CRASH_REPORTER_ERROR_TEXT_SIZE] = {};
        crashReporterLastErrorText(reason, sizeof reason);
        std::printf("%s\n", reason);
        return;
    }

    char commonData[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, commonData, CSIDL_COMMON_APPDATA, TRUE))
        return;
    char logFile[MAX_PATH] = {};
    std::snprintf(logFile, sizeof logFile, "%s\\Quorvel\\quorvelmeet\\quorvelmeet.log", commonData);
    crashReporterAddFile(logFile, nullptr, "Log File", CRASH_FILE_MAKE_COPY);
    crashReporterAddScreenshot(CRASH_SCREENSHOT_MAIN_WINDOW | CRASH_SCREENSHOT_USER_REMOVABLE, 0);
}

void uninstallCrashReporting() {
    crashReporterUninstall();
}
