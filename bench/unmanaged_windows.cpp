#include "unmanaged_windows.h"

#include <windows.h>

#include "unique_handle.h"

namespace {

constexpr char kManagedValue[] = "Managed";

std::string driverKeyOf(const std::string& program) {
    return "Software\\Wine\\AppDefaults\\" + program + "\\X11 Driver";
}

}  // namespace

ScopedUnmanagedWindows::ScopedUnmanagedWindows(std::vector<std::string> programs) {
    for (const std::string& program : programs) {
        HKEY opened = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, driverKeyOf(program).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                            nullptr, &opened, nullptr) != ERROR_SUCCESS)
            continue;
        UniqueKey key(opened);
        if (RegQueryValueExA(key.get(), kManagedValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            continue;  // someone's own choice: leave it
        static const char kNo[] = "N";
        if (RegSetValueExA(key.get(), kManagedValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(kNo), sizeof kNo) ==
            ERROR_SUCCESS)
            added_.push_back(program);
    }
}

ScopedUnmanagedWindows::~ScopedUnmanagedWindows() {
    for (const std::string& program : added_)
        RegDeleteKeyValueA(HKEY_CURRENT_USER, driverKeyOf(program).c_str(), kManagedValue);
}
