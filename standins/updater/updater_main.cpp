// qmUpdater.exe stand-in: the elevated updater the host copies into the
// temporary folder. Reads the host's parameter text from its raw command line.
// That folder is its user's to write to, so this program imports only DLLs
// that Windows always takes from its own folder, and loads every other one
// from the system folder alone.
#include <windows.h>

#include "logging/logger.h"
#include "update_job.h"
#include "updater_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Before anything else can load a DLL by name.
    const bool systemFolderOnly = SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    const DWORD dllError = systemFolderOnly ? 0 : GetLastError();
    try {
        const std::string parameters = parametersOfCommandLine(GetCommandLineA());
        UpdaterRequest request;
        std::string error;
        const bool understood = parseUpdaterParameterText(parameters, request, error);
        // Without a product there is no log to tell why nothing happens.
        setupUpdaterLog(request.product.c_str());
        logging::Logger* log = logging::Logger::getLogger();
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        log->warnf("qmUpdater: running %s", 1, self);
        log->warnf("qmUpdater: parameters: %s", 1, parameters.c_str());
        if (!systemFolderOnly) {
            log->errorf("qmUpdater: DLLs cannot be limited to the system folder (%lu)", 1, dllError);
            return 4;
        }
        if (!understood) {
            log->errorf("qmUpdater: %s", 1, error.c_str());
            return 2;
        }
        const bool done = runUpdateJob("qmUpdater", startHostAsDesktopUser, request);
        log->clearAppenders();
        return done ? 0 : 1;
    } catch (...) {
        return 3;
    }
}
