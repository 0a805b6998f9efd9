#include "json_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

void appendJsonString(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (byte < 0x20 || byte >= 0x7F) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

void appendJsonNumber(std::string& out, float value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    const double wide = value;
    int precision = 1;
    char text[64] = {};
    for (; precision < 9; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, wide);
        if (std::strtof(text, nullptr) == value)
            break;
    }
    // Whole digits are written out (90, not 9e+01) up to where floats are
    // whole numbers anyway.
    const double magnitude = std::fabs(wide);
    if (magnitude >= 1.0 && magnitude < 1e16) {
        const int wholeDigits = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
        if (wholeDigits > precision)
            precision = wholeDigits;
    }
    std::snprintf(text, sizeof text, "%.*g", precision, wide);
    out += text;
}
