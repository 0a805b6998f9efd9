#include "command_line.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#include "apply_parameter.h"
#include "debug_log.h"
#include "universal_url.h"

namespace qm {

const char* const keptExtraKeys[5] = {"cache_file", "cache_data", "cache_path", "cloud_instance",
                                      "no_crash_report"};

namespace {

constexpr char kDefaultLanguage[] = "en";
constexpr char kQuote = '"';
constexpr char kKeyMark = '-';

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool holdsSeparator(const std::string& text) {
    return std::any_of(text.begin(), text.end(), isSeparator);
}

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool isKeptExtraKey(const std::string& key) {
    return std::any_of(std::begin(keptExtraKeys), std::end(keptExtraKeys),
                       [&](const char* kept) { return equalIgnoringAsciiCase(key, kept); });
}

// Splits a text into maximal runs of non-separator bytes, one at a time.
class Tokenizer {
public:
    explicit Tokenizer(std::string_view text) : text_(text) {}

    bool next(std::string_view& token) {
        while (position_ < text_.size() && isSeparator(text_[position_]))
            ++position_;
        if (position_ == text_.size())
            return false;
        const size_t start = position_;
        while (position_ < text_.size() && !isSeparator(text_[position_]))
            ++position_;
        token = text_.substr(start, position_ - start);
        return true;
    }

private:
    std::string_view text_;
    size_t position_ = 0;
};

// The extras list with an index by key, so that n parameters cost O(n).
class ExtrasRecorder {
public:
    explicit ExtrasRecorder(std::vector<LaunchParameters::Extra>& extras) : extras_(extras) {
        for (size_t i = 0; i < extras_.size(); ++i)
            index_.emplace(extras_[i].first, i);  // the first element of a key wins
    }

    void record(const std::string& key, const std::string& value) {
        const auto inserted = index_.emplace(key, extras_.size());
        if (inserted.second)
            extras_.emplace_back(key, value);
        else
            extras_[inserted.first->second].second = value;
    }

private:
    std::vector<LaunchParameters::Extra>& extras_;
    std::unordered_map<std::string, size_t> index_;
};

// Collects a quoted value that starts in `opening` (its first byte is the
// quote). Sets `nextKey` when the closing quote is followed by a minus sign in
// the same token; returns false when the tokens ran out before a closing quote.
bool collectQuoted(std::string_view opening, Tokenizer& tokens, std::string& value,
                   std::string_view& nextKey, bool& hasNextKey) {
    std::string_view token = opening.substr(1);
    for (;;) {
        const size_t close = token.find(kQuote);
        if (close != std::string_view::npos) {
            value.append(token.substr(0, close));
            if (close + 1 < token.size() && token[close + 1] == kKeyMark) {
                nextKey = token.substr(close + 1);
                hasNextKey = true;
            }
            return true;
        }
        value.append(token);
        if (!tokens.next(token))
            return false;
        value += ' ';
    }
}

void fillDefaultLanguage(LaunchParameters& record, const LaunchPlatform& platform) {
    if (!record.language.empty())
        return;
    record.language = platform.userLanguage();
    if (record.language.empty())
        record.language = kDefaultLanguage;
}

}  // namespace

void parseLaunchText(LaunchParameters& record, const char* text, const LaunchPlatform& platform) {
    if (text && std::strstr(text, "://"))
        parseUniversalUrl(record, text, platform);
    else
        parseCommandLine(record, text, platform);
}

void parseCommandLine(LaunchParameters& record, const char* text, const LaunchPlatform& platform) {
    // Our own copy: the record may hold the very text we were given.
    const std::string copy = text ? text : "";

    auto& extras = record.extras;
    extras.erase(std::remove_if(extras.begin(), extras.end(),
                                [](const LaunchParameters::Extra& extra) { return !isKeptExtraKey(extra.first); }),
                 extras.end());

    debugLog(kLogDebug, "CommandLine:%s", copy.c_str());

    ExtrasRecorder recorder(extras);
    Tokenizer tokens(copy);
    std::string_view token;
    bool haveToken = tokens.next(token);
    std::string key;
    std::string value;
    while (haveToken) {
        if (token.front() != kKeyMark) {
            haveToken = tokens.next(token);
            continue;
        }
        key.assign(token.substr(1));
        value.clear();

        std::string_view following;
        bool haveFollowing = tokens.next(following);
        bool followingIsKey = false;
        bool ended = false;
        if (!haveFollowing) {
            ended = true;
        } else if (following.front() == kQuote) {
            std::string_view nextKey;
            bool hasNextKey = false;
            ended = !collectQuoted(following, tokens, value, nextKey, hasNextKey);
            if (hasNextKey) {
                following = nextKey;
                followingIsKey = true;
            }
        } else if (following.front() == kKeyMark) {
            followingIsKey = true;
        } else {
            value.assign(following);
        }

        recorder.record(key, value);
        applyParameter(record, key, value, platform);

        if (ended)
            break;
        if (followingIsKey)
            token = following;
        else
            haveToken = tokens.next(token);
    }

    fillDefaultLanguage(record, platform);
}

bool joinLaunchArguments(const std::vector<std::string>& arguments, std::string& text) {
    std::string joined;
    for (const std::string& argument : arguments) {
        if (!joined.empty())
            joined += ' ';
        if (!argument.empty() && !holdsSeparator(argument)) {
            joined += argument;
            continue;
        }
        if (argument.find(kQuote) != std::string::npos)
            return false;
        joined += kQuote + argument + kQuote;
    }
    text = joined;
    return true;
}

}  // namespace qm
