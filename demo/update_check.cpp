#include "update_check.h"

#include <windows.h>

#include <string>

#include "base/unique_handle.h"

namespace qo {
namespace {

constexpr const char* kFeedParameter = "update_feed";
constexpr const char* kStagingValue = "updateFilePath";

std::string stagingFolder(const qm::LaunchParameters& p) {
    const std::string keyPath = "SOFTWARE\\Quorvel\\" + p.product + "\\" + p.state;
    HKEY raw = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS)
        return {};
    UniqueKey key(raw);
    char value[MAX_PATH] = {};
    DWORD type = 0, size = sizeof value - 1;
    if (RegQueryValueExA(key.get(), kStagingValue, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    return std::string(value, strnlen(value, size));
}

std::string readManifest(const std::string& folder) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\' && path.back() != '/')
        path += '\\';
    path += kFeedFileName;
    UniqueFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return {};
    std::string text(kFeedMaxBytes, '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr))
        return {};
    text.resize(read);
    return text;
}

// The folder of this library, with a trailing backslash.
std::string ownFolder() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&ownFolder), &self))
        return {};
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(self, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return {};
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// An update copies the feed's manifest along with its libraries: the copy
// next to this library says which version is installed, so that the host the
// updater starts again does not update once more.
std::string installedVersion() {
    const std::string folder = ownFolder();
    const std::string copied = folder.empty() ? std::string() : parseFeed(readManifest(folder)).version;
    return compareVersions(copied, kProductVersion) > 0 ? copied : std::string(kProductVersion);
}

}  // namespace

FeedOrigin findFeed(const qm::LaunchParameters& p) {
    if (const std::string* given = p.findExtra(kFeedParameter)) {
        if (acceptableFeedFolder(*given))
            return {*given, false};
        OutputDebugStringA("qo: update_feed refused\n");
    }
    return {stagingFolder(p), true};
}

UpdateAnswer checkForUpdate(const qm::LaunchParameters& p) {
    const FeedOrigin origin = findFeed(p);
    UpdateAnswer answer;
    if (origin.folder.empty()) {
        answer.why = "no feed";
    } else {
        answer = decideUpdate(parseFeed(readManifest(origin.folder)), origin, p.product, installedVersion());
    }
    OutputDebugStringA(("qo: update check: " + answer.why + "\n").c_str());
    return answer;
}

}  // namespace qo
