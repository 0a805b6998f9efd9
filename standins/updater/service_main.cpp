// Stand-in of the product's updater service, "QM Updater Service - <product>".
//   qmUpdaterService.exe -install <product>    registers it (demand start)
//   qmUpdaterService.exe -uninstall <product>  removes it
// Started by the service manager, it takes the host's ten arguments and does
// the same job as qmUpdater.exe.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "logging/logger.h"
#include "service_registration.h"
#include "update_job.h"
#include "updater_log.h"

namespace {

constexpr char kWho[] = "updater service";

SERVICE_STATUS_HANDLE statusHandle = nullptr;

void reportStatus(DWORD state, DWORD exitCode) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwWin32ExitCode = exitCode;
    if (statusHandle)
        SetServiceStatus(statusHandle, &status);
}

DWORD WINAPI controlHandler(DWORD, DWORD, void*, void*) {
    // The job cannot be stopped half-way; every control is only answered.
    return NO_ERROR;
}

bool runService(DWORD argc, LPSTR* argv) {
    std::vector<std::string> arguments;
    for (DWORD i = 1; i < argc; ++i)
        arguments.push_back(argv[i] ? argv[i] : "");
    UpdaterRequest request;
    std::string error;
    const bool understood = parseUpdaterServiceArguments(arguments, request, error);
    setupUpdaterLog(request.product.c_str());
    logging::Logger* log = logging::Logger::getLogger();
    log->warnf("%s: started as %s", 2, kWho, argc > 0 && argv[0] ? argv[0] : "");
    for (const std::string& argument : arguments)
        log->warnf("%s: argument: %s", 2, kWho, argument.c_str());
    bool done = false;
    if (!understood)
        log->errorf("%s: %s", 2, kWho, error.c_str());
    else
        done = runUpdateJob(kWho, startHostAsConsoleUser, request);
    log->clearAppenders();
    return done;
}

void WINAPI serviceMain(DWORD argc, LPSTR* argv) {
    statusHandle = RegisterServiceCtrlHandlerExA(argc > 0 && argv[0] ? argv[0] : "",
                                                 controlHandler, nullptr);
    reportStatus(SERVICE_RUNNING, NO_ERROR);
    bool done = false;
    try {
        done = runService(argc, argv);
    } catch (...) {
    }
    reportStatus(SERVICE_STOPPED, done ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "-install") == 0)
            return registerUpdaterService(argv[2]) ? 0 : 1;
        if (argc == 3 && std::strcmp(argv[1], "-uninstall") == 0)
            return unregisterUpdaterService(argv[2]) ? 0 : 1;
        char name[] = "";
        SERVICE_TABLE_ENTRYA table[] = {{name, serviceMain}, {nullptr, nullptr}};
        if (!StartServiceCtrlDispatcherA(table)) {
            std::fprintf(stderr, "usage: qmUpdaterService -install|-uninstall <product>\n");
            return 2;
        }
        return 0;
    } catch (...) {
        return 3;
    }
}
