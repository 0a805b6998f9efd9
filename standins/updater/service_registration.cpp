#include "service_registration.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "service_security.h"
#include "unique_handle.h"
#include "updater_arguments.h"

namespace {

bool grantStartToInteractiveUsers(SC_HANDLE service) {
    std::vector<BYTE> descriptor = updaterServiceSecurity();
    return !descriptor.empty() &&
           SetServiceObjectSecurity(service, DACL_SECURITY_INFORMATION, descriptor.data()) != FALSE;
}

UniqueServiceHandle openManager(DWORD access) {
    UniqueServiceHandle manager(OpenSCManagerA(nullptr, nullptr, access));
    if (!manager)
        std::fprintf(stderr, "unable to open the service manager (%lu)\n", GetLastError());
    return manager;
}

}  // namespace

bool registerUpdaterService(const char* product) {
    UniqueServiceHandle manager = openManager(SC_MANAGER_CREATE_SERVICE);
    if (!manager)
        return false;
    char self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    const std::string binary = "\"" + std::string(self) + "\"";
    const std::string name = updaterServiceName(product);
    UniqueServiceHandle service(CreateServiceA(
        manager.get(), name.c_str(), name.c_str(), SERVICE_ALL_ACCESS, SERVICE_WIN32_OWN_PROCESS,
        SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL, binary.c_str(), nullptr, nullptr, nullptr,
        nullptr, nullptr));
    if (!service) {
        std::fprintf(stderr, "unable to create %s (%lu)\n", name.c_str(), GetLastError());
        return false;
    }
    if (!grantStartToInteractiveUsers(service.get())) {
        std::fprintf(stderr, "unable to let users start %s (%lu)\n", name.c_str(), GetLastError());
        DeleteService(service.get());
        return false;
    }
    return true;
}

bool unregisterUpdaterService(const char* product) {
    UniqueServiceHandle manager = openManager(SC_MANAGER_CONNECT);
    if (!manager)
        return false;
    const std::string name = updaterServiceName(product);
    UniqueServiceHandle service(OpenServiceA(manager.get(), name.c_str(), DELETE));
    if (!service || !DeleteService(service.get())) {
        std::fprintf(stderr, "unable to remove %s (%lu)\n", name.c_str(), GetLastError());
        return false;
    }
    return true;
}
