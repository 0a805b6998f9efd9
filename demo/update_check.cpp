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
        answer = decideUpdate(parseFeed(readManifest(origin.folder)), origin, p.product);
    }
    OutputDebugStringA(("qo: update check: " + answer.why + "\n").c_str());
    return answer;
}

}  // namespace qo
