#include "spawn_updater.h"

#include <windows.h>

#include <cstdlib>
#include <string>

#include "logging/logger.h"
#include "update_exe.h"
#include "update_service.h"
#include "updater_log.h"
#include "updater_paths.h"

namespace {

constexpr DWORD kCurrentDirectorySize = 511;

// The updater restarts the host with this, from a directory of its own.
std::string restartCommand() {
    const char* commandLine = GetCommandLineA();
    char directory[kCurrentDirectorySize] = {};
    const DWORD length = GetCurrentDirectoryA(kCurrentDirectorySize, directory);
    const bool known = length != 0 && length < kCurrentDirectorySize;
    return completeCommandLine(commandLine ? commandLine : "", known ? directory : nullptr);
}

}  // namespace

bool spawnUpdater(const char* product, const char* productName, const char* src,
                  const char* dst) {
    logging::Logger* log = logging::Logger::getLogger();
    const bool ownsLog = log->getAppenderCount() == 0;
    bool started = false;
    // Called from the window procedure: nothing may be thrown out of here.
    try {
        if (ownsLog)
            setupUpdaterLog(product);
        const std::string command = restartCommand();
        started = updateService(product, productName, src, dst, command.c_str()) ||
                  updateEXE(product, productName, src, dst, command.c_str());
    } catch (...) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (started) {
        if (ownsLog)
            log->clearAppenders();
        std::exit(0);
    }

    log->errorf("Unable to spawn updater (err %d)", 1, GetLastError());
    if (ownsLog)
        log->clearAppenders();
    return false;
}
