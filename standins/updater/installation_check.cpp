#include "installation_check.h"

#include <windows.h>

#include <vector>

#include "folder_paths.h"
#include "plain_file_name.h"
#include "registry_config.h"
#include "unique_handle.h"
#include "updater_paths.h"

namespace {

// Full, tidied and with long names, as the file system compares them; empty
// when the path cannot be made full.
std::string canonicalPath(const std::string& path) {
    if (path.empty())
        return std::string();
    char full[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    char longName[MAX_PATH] = {};
    length = GetLongPathNameA(full, longName, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string(full) : std::string(longName);
}

std::vector<std::string> statesOf(const std::string& product) {
    std::string productKey = installationKeyPath(product, std::string());
    productKey.pop_back();  // the separator before the empty state
    std::vector<std::string> states;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, productKey.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return states;
    const UniqueKey key(opened);
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD size = sizeof name;
        const LONG result = RegEnumKeyExA(key.get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            states.emplace_back(name, size);
    }
    return states;
}

}  // namespace

bool checkRequestAgainstInstallation(const UpdaterRequest& request, CheckedRequest& checked, std::string& why) {
    checked = CheckedRequest();
    if (!isPlainFileName(request.product)) {
        why = "product " + request.product + " is not a plain name";
        return false;
    }
    const std::string source = canonicalPath(request.src);
    const std::string destination = canonicalPath(request.dst);
    const std::string program = canonicalPath(programOfCommandLine(request.cmd));
    bool configured = false;
    for (const std::string& state : statesOf(request.product)) {
        const std::string key = installationKeyPath(request.product, state);
        std::string staging;
        std::string library;
        if (!readRegistryString(key, "updateFilePath", staging) || !readRegistryString(key, "libFilePath", library))
            continue;
        configured = true;
        staging = canonicalPath(staging);
        library = canonicalPath(library);
        if (staging.empty() || library.empty() || !isSameOrInsideFolder(staging, source) ||
            !isSameFolder(library, destination))
            continue;
        const std::string host = fileInDirectory(library, kInstalledHostName);
        if (!isSameFolder(host, program)) {
            why = "the command starts " + program + ", not the installed " + host;
            return false;
        }
        checked = {source, library, host, parametersOfCommandLine(request.cmd)};
        return true;
    }
    why = configured ? "source or destination is not the installation's staging or library folder"
                     : "no installation of " + request.product + " names a staging and a library folder";
    return false;
}
