#include "update_feed.h"

#include <algorithm>
#include <cctype>

namespace qo {
namespace {

constexpr unsigned kAbort = 0x800;
constexpr unsigned kDownloadPage = 0x8;
constexpr unsigned kRunUpdater = 0x4;

std::string_view trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// Only web pages: the host opens this address with the shell.
bool isWebAddress(std::string_view url) {
    for (char c : url) {
        if (static_cast<unsigned char>(c) <= ' ' || c == '"')
            return false;
    }
    return startsWith(url, "https://") || startsWith(url, "http://");
}

}  // namespace

Feed parseFeed(std::string_view text) {
    Feed feed;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const size_t equals = line.find('=');
        if (line.empty() || line.front() == '#' || equals == std::string_view::npos)
            continue;
        const std::string_view key = trim(line.substr(0, equals));
        const std::string value(trim(line.substr(equals + 1)));
        if (key == "version") feed.version = value;
        else if (key == "action") feed.action = value;
        else if (key == "url") feed.url = value;
    }
    return feed;
}

int compareVersions(std::string_view a, std::string_view b) {
    while (!a.empty() || !b.empty()) {
        auto next = [](std::string_view& v) {
            unsigned long number = 0;
            while (!v.empty() && std::isdigit(static_cast<unsigned char>(v.front()))) {
                number = std::min(number * 10 + static_cast<unsigned long>(v.front() - '0'), 1000000000ul);
                v.remove_prefix(1);
            }
            const size_t dot = v.find('.');
            v = dot == std::string_view::npos ? std::string_view() : v.substr(dot + 1);
            return number;
        };
        const unsigned long x = next(a), y = next(b);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

UpdateAnswer decideUpdate(const Feed& feed, const FeedOrigin& origin, const std::string& productName,
                          const std::string& installedVersion) {
    UpdateAnswer answer;
    if (feed.version.empty() || compareVersions(feed.version, installedVersion) <= 0 ||
        compareVersions(feed.version, kProductVersion) <= 0) {
        answer.why = "up to date";
        return answer;
    }
    if (feed.action == "page") {
        if (!isWebAddress(feed.url)) {
            answer.why = "page refused: not a web address";
            return answer;
        }
        answer.flags = kAbort | kDownloadPage;
        answer.url = feed.url;
        answer.why = "download page";
    } else if (feed.action == "abort") {
        answer.flags = kAbort;
        answer.why = "abort";
    } else if (feed.action == "update") {
        if (!origin.trusted) {
            answer.why = "update refused: the feed was not the installation's";
            return answer;
        }
        answer.flags = kRunUpdater;
        answer.src = origin.folder;
        answer.productName = productName;
        answer.why = "update";
    } else {
        answer.why = "no action";
    }
    return answer;
}

bool acceptableFeedFolder(std::string_view folder) {
    if (folder.size() < 3 || folder.size() > 240)
        return false;
    for (char c : folder) {
        if (static_cast<unsigned char>(c) < ' ' || c == '"' || c == '*' || c == '?' || c == '<' || c == '>' ||
            c == '|')
            return false;
    }
    // A drive path such as C:\feed; shares (\\server) and devices (\\?\, \\.\)
    // would reach beyond this machine's folders.
    const bool drive = std::isalpha(static_cast<unsigned char>(folder[0])) && folder[1] == ':' &&
                       (folder[2] == '\\' || folder[2] == '/');
    if (!drive || folder.find(':', 2) != std::string_view::npos)
        return false;
    return folder.find("..") == std::string_view::npos;
}

}  // namespace qo
