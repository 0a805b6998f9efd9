#include "update_service.h"

#include <windows.h>

#include "logging/logger.h"
#include "unique_handle.h"
#include "updater_arguments.h"

bool updateService(const char* product, const char* productName, const char* src,
                   const char* dst, const char* cmd) {
    logging::Logger* log = logging::Logger::getLogger();
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) {
        const DWORD error = GetLastError();
        log->errorf("updateService: unable to open Service Manager (%d)", 1, error);
        return false;
    }

    const std::string serviceName = updaterServiceName(product);
    UniqueServiceHandle service(OpenServiceA(manager.get(), serviceName.c_str(), SERVICE_START));
    if (!service) {
        const DWORD error = GetLastError();
        log->errorf("updateService: unable to open service %s (%d)", 2, serviceName.c_str(), error);
        return false;
    }

    const std::vector<std::string> arguments =
        updaterServiceArguments({product, productName, src, dst, cmd});
    std::vector<const char*> argumentPointers;
    log->warnf("updateService: launching: %s", 1, serviceName.c_str());
    for (const std::string& argument : arguments) {
        log->warn(argument.c_str());
        argumentPointers.push_back(argument.c_str());
    }

    if (!StartServiceA(service.get(), static_cast<DWORD>(argumentPointers.size()),
                       argumentPointers.data())) {
        const DWORD error = GetLastError();
        log->errorf("updateService: unable to start service %s (%d)", 2, serviceName.c_str(), error);
        return false;
    }
    return true;
}
