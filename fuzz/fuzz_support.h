#pragma once
// What every fuzz target shares: a quiet log that still formats every line,
// a platform that answers without boxes, and the properties that must hold
// for any input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>

#include "debug_log.h"
#include "launch_record.h"
#include "plain_file_name.h"
#include "scripted_launch_platform.h"

namespace fuzz {

inline void discardLine(const char*) {}

inline qm::ScriptedLaunchPlatform quietPlatform() {
    static const bool logConfigured = [] {
        setLogSink(&discardLine);
        setLogMask(kLogDebug | kLogInfo | kLogWarning | kLogError);
        return true;
    }();
    (void)logConfigured;
    qm::ScriptedLaunchPlatform platform;
    platform.windows = {4660};
    return platform;
}

inline void require(bool condition) {
    if (!condition)
        std::abort();
}

// A client is always a plain file name; one element per extras key; the
// description is one well-formed piece.
inline void checkRecord(const qm::LaunchParameters& record) {
    require(isPlainFileName(record.client));
    std::unordered_set<std::string> keys;
    for (const auto& extra : record.extras)
        require(keys.insert(extra.first).second);
    std::string text;
    qm::describe(record, text);
    require(text.compare(0, 9, "{product=") == 0 && text.back() == '}');
}

inline std::string inputText(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size);
}

// A new application record filled from `text` by `parse`, checked.
template <typename Parse>
qm::LaunchParameters checkedParse(const std::string& text, Parse parse) {
    const qm::ScriptedLaunchPlatform platform = quietPlatform();
    qm::LaunchParameters record = qm::defaultLaunchParameters();
    parse(record, text.c_str(), platform);
    checkRecord(record);
    return record;
}

}  // namespace fuzz
