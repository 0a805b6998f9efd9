#include "update_exe.h"

#include <windows.h>
#include <shellapi.h>

#include "copy_file_silently.h"
#include "logging/logger.h"
#include "updater_arguments.h"
#include "updater_names.h"
#include "updater_paths.h"

namespace {

constexpr DWORD kModulePathSize = 260;
constexpr DWORD kTempPathSize = 1024;

std::string ownDirectory() {
    char path[kModulePathSize] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, kModulePathSize);
    if (length == 0 || length >= kModulePathSize)
        return std::string();
    return directoryOfPath(path);
}

std::string temporaryDirectory() {
    char path[kTempPathSize] = {};
    const DWORD length = GetTempPathA(kTempPathSize, path);
    return length == 0 || length >= kTempPathSize ? std::string() : std::string(path);
}

}  // namespace

bool updateEXE(const char* product, const char* productName, const char* src,
               const char* dst, const char* cmd) {
    logging::Logger* log = logging::Logger::getLogger();
    const UpdaterValues values{product, productName, src, dst, cmd};
    // The elevated updater reads its arguments back from one text.
    if (const char* reason = unsafeParameterTextReason(values)) {
        log->errorf("updateEXE: not launching: %s", 1, reason);
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }

    // A bare file name would be found in, or copied to, the current
    // directory: never the place to take an elevated program from.
    const std::string ownFolder = ownDirectory();
    const std::string tempFolder = temporaryDirectory();
    const std::string source = fileInDirectory(ownFolder, kUpdaterExecutableName);
    const std::string target = fileInDirectory(tempFolder, kUpdaterExecutableName);
    if (ownFolder.empty() || tempFolder.empty() ||
        !copyFileSilently(source.c_str(), target.c_str())) {
        log->error("updateEXE: unable to copy updater to temp dir");
        return false;
    }

    const std::string parameters = updaterParameterText(values);
    log->warnf("updateEXE: launching: %s", 1, parameters.c_str());

    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;
    info.hwnd = nullptr;
    info.lpVerb = "runas";
    info.lpFile = target.c_str();
    info.lpParameters = parameters.c_str();
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOW;
    if (!ShellExecuteExA(&info)) {
        const DWORD error = GetLastError();
        log->errorf("updateEXE: launch failed (%d)", 1, error);
        return false;
    }
    return true;
}
