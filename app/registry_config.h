#pragma once
#include <string>

// Reads a text value under HKEY_LOCAL_MACHINE into `out` (up to its first
// NUL); true when the value could be read. `out` is untouched otherwise.
bool readRegistryString(const std::string& keyPath, const char* valueName, std::string& out);

// The installation's configuration key of a product and state.
std::string installationKeyPath(const std::string& product, const std::string& state);

// True only for a one-byte value that is not 0: a REG_DWORD 1 does not count.
bool readSkipUpdates(const std::string& keyPath);
