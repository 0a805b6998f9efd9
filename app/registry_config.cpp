#include "registry_config.h"

#include <windows.h>

#include "unique_handle.h"

namespace {

constexpr DWORD kRegistryTextSize = 260;

UniqueKey openInstallationKey(const std::string& keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return UniqueKey();
    return UniqueKey(key);
}

}  // namespace

std::string installationKeyPath(const std::string& product, const std::string& state) {
    return "SOFTWARE\\Quorvel\\" + product + "\\" + state;
}

bool readRegistryString(const std::string& keyPath, const char* valueName, std::string& out) {
    UniqueKey key = openInstallationKey(keyPath);
    if (!key)
        return false;
    char buffer[kRegistryTextSize] = {};
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    size_t length = 0;
    while (length < size && buffer[length] != '\0')
        ++length;
    out.assign(buffer, length);
    return true;
}

bool readSkipUpdates(const std::string& keyPath) {
    UniqueKey key = openInstallationKey(keyPath);
    if (!key)
        return false;
    BYTE value = 0;
    DWORD size = sizeof value;
    return RegQueryValueExA(key.get(), "skipUpdates", nullptr, nullptr, &value, &size) == ERROR_SUCCESS &&
           value != 0;
}
