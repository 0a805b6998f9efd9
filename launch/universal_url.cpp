#include "universal_url.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "command_line.h"
#include "debug_log.h"
#include "number_reading.h"

namespace qm {
namespace {

constexpr char kKeptEscapes[] = "-_.!~*'();,/?:@&=+$#";
constexpr std::string_view kEscapedSeparator = "&amp;";

bool isAsciiAlphanumeric(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool staysEscaped(unsigned char c) {
    return isAsciiAlphanumeric(c) || (c != 0 && std::strchr(kKeptEscapes, c) != nullptr);
}

void appendParameter(std::string& out, std::string_view key, std::string_view value) {
    if (!out.empty())
        out += ' ';
    out += '-';
    out.append(key);
    if (!value.empty()) {
        out += ' ';
        out.append(value);
    }
}

// The text after the first occurrence of `word` in `url`, less one "/", when
// that occurrence is followed by the end, "/" or "?".
bool findCommandWord(std::string_view url, std::string_view word, std::string_view& rest) {
    const size_t found = url.find(word);
    if (found == std::string_view::npos)
        return false;
    std::string_view after = url.substr(found + word.size());
    if (!after.empty() && after.front() != '/' && after.front() != '?')
        return false;
    if (!after.empty() && after.front() == '/')
        after.remove_prefix(1);
    rest = after;
    return true;
}

std::string_view afterFirst(std::string_view text, char c) {
    const size_t found = text.find(c);
    return found == std::string_view::npos ? std::string_view() : text.substr(found + 1);
}

}  // namespace

void parseUniversalUrl(LaunchParameters& record, const char* url, const LaunchPlatform& platform) {
    const char* text = url ? url : "";
    std::string arguments;
    if (!universalUrlToArguments(text, arguments)) {
        debugLog(kLogError, "Unable to parse universal URL: %s", text);
        return;
    }
    parseCommandLine(record, arguments.c_str(), platform);
}

bool universalUrlToArguments(std::string_view url, std::string& out) {
    const size_t scheme = url.find("://");
    const std::string_view afterScheme = scheme == std::string_view::npos ? std::string_view() : url.substr(scheme + 3);
    std::string_view word = afterScheme.substr(0, afterScheme.find('?'));
    while (!word.empty() && word.back() == '/')
        word.remove_suffix(1);
    if (word == "launch" || word == "open") {
        queryToArguments(afterFirst(afterScheme, '?'), out);
        return true;
    }

    std::string_view rest;
    if (!findCommandWord(url, "/launch", rest) && !findCommandWord(url, "/open", rest))
        return false;
    pathToArguments(rest, out);
    if (rest.find('?') != std::string_view::npos)
        queryToArguments(afterFirst(rest, '?'), out);
    return true;
}

void pathToArguments(std::string_view rest, std::string& out) {
    const std::string_view path = rest.substr(0, rest.find('?'));
    std::vector<std::string_view> segments;
    size_t position = 0;
    while (position < path.size()) {
        const size_t end = std::min(path.find('/', position), path.size());
        if (end > position)
            segments.push_back(path.substr(position, end - position));
        position = end + 1;
    }

    if (segments.empty())
        return;
    appendParameter(out, "client", segments[0]);
    if (segments.size() == 2) {
        const bool isScene = startsWithSignedInteger(std::string(segments[1]));
        appendParameter(out, isScene ? "scene" : "language", segments[1]);
    } else if (segments.size() == 3) {
        appendParameter(out, "scene", segments[1]);
        appendParameter(out, "language", segments[2]);
    }
}

void queryToArguments(std::string_view query, std::string& out) {
    size_t p = 0;
    for (;;) {
        const size_t e = std::min(query.find('&', p), query.size());
        if (e <= p)
            return;
        const std::string_view piece = query.substr(p, e - p);
        const size_t equals = piece.find('=');
        const std::string_view key = piece.substr(0, equals);
        const std::string_view value =
            equals == std::string_view::npos ? std::string_view() : piece.substr(equals + 1);
        if (!key.empty())
            appendParameter(out, key, decodeQueryValue(value));
        p = e;
        if (p < query.size())
            p += query.substr(p).rfind(kEscapedSeparator, 0) == 0 ? kEscapedSeparator.size() : 1;
    }
}

std::string decodeQueryValue(std::string_view value) {
    std::string decoded;
    decoded.reserve(value.size());
    size_t i = 0;
    while (i < value.size()) {
        if (value[i] != '%') {
            decoded += value[i++];
            continue;
        }
        // strtoul reads the (at most) two characters as base 16: white space,
        // a sign and a "0x" are accepted; no digit gives 0.
        const std::string digits(value.substr(i + 1, 2));
        const auto byte = static_cast<unsigned char>(std::strtoul(digits.c_str(), nullptr, 16) & 0xFF);
        if (staysEscaped(byte))
            decoded.append(value.substr(i, 3));
        else
            decoded += static_cast<char>(byte);
        i += 3;
    }
    return decoded;
}

}  // namespace qm
