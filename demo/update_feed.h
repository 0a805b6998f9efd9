#pragma once
// The demo's update feed: a folder holding feed.txt, lines of key=value:
//   version=1.3.0
//   action=none|page|abort|update
//   url=https://...        (for "page")
// A feed only counts when its version is newer than the installed one: the
// library's own, or the version of the feed.txt an update copied next to it.
#include <string>
#include <string_view>

namespace qo {

constexpr const char* kProductVersion = "1.2.0";
constexpr const char* kFeedFileName = "feed.txt";
constexpr size_t kFeedMaxBytes = 4096;

struct Feed {
    std::string version;
    std::string action;
    std::string url;
};

// Unknown keys and malformed lines are skipped.
Feed parseFeed(std::string_view text);

// Negative, zero or positive as `a` is older, the same as or newer than
// `b`; versions are dot-separated numbers, missing parts count as 0.
int compareVersions(std::string_view a, std::string_view b);

// What the host is asked to do (the flags of the update data).
struct UpdateAnswer {
    unsigned flags = 0;
    std::string url;
    std::string src;
    std::string productName;
    std::string why;  // for the log
};

struct FeedOrigin {
    std::string folder;
    // The installation's own staging folder, not a launch parameter: only
    // such a feed may hand libraries to the updater.
    bool trusted = false;
};

UpdateAnswer decideUpdate(const Feed& feed, const FeedOrigin& origin, const std::string& productName,
                          const std::string& installedVersion = kProductVersion);

// Whether a folder given by a launch parameter may be read: an absolute
// local path, not a share or device path, no "..", no control characters.
bool acceptableFeedFolder(std::string_view folder);

}  // namespace qo
