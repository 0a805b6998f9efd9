#pragma once
// The one rule for a name that must stay inside the folder it is put in (a
// client library, a staged folder, a product's log folder, a file in a crash
// report): the name is one path component and nothing more. Portable.
#include <string_view>

// A path separator, drive colon, wildcard, quote, angle bracket, bar or
// control byte.
inline bool isForbiddenInFileName(char c) {
    if (static_cast<unsigned char>(c) < 0x20)
        return true;
    switch (c) {
    case '\\': case '/': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
        return true;
    default:
        return false;
    }
}

// Not empty, not "." or "..", and no byte forbidden in a file name.
inline bool isPlainFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    for (const char c : name) {
        if (isForbiddenInFileName(c))
            return false;
    }
    return true;
}
