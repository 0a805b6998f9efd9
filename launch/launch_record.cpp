#include "launch_record.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace qm {
namespace {

// printf into a growing text: no value, however long, can overrun a buffer.
void appendFormat(std::string& out, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

void appendFormat(std::string& out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length > 0) {
        const size_t start = out.size();
        out.resize(start + static_cast<size_t>(length) + 1);
        std::vsnprintf(&out[start], static_cast<size_t>(length) + 1, format, args);
        out.resize(start + static_cast<size_t>(length));
    }
    va_end(args);
}

void appendTriple(std::string& out, const char* label, const float (&values)[3]) {
    out += label;
    appendFormat(out, "(%6.2f,%6.2f,%6.2f)", static_cast<double>(values[0]),
                 static_cast<double>(values[1]), static_cast<double>(values[2]));
}

}  // namespace

LaunchParameters defaultLaunchParameters() {
    return LaunchParameters("quorvelmeet", "production", "QUORVELMEET");
}

LaunchParameters carryOver(const LaunchParameters& current) {
    LaunchParameters next(current.product, current.state, current.client);
    next.language = current.language;
    next.defaultClient = current.defaultClient;
    next.owner = current.owner;
    next.extras = current.extras;
    removeExtra(next, "positionTool");
    removeExtra(next, "scene");
    return next;
}

bool removeExtra(LaunchParameters& record, std::string_view key) {
    auto found = std::find_if(record.extras.begin(), record.extras.end(),
                              [key](const LaunchParameters::Extra& extra) { return extra.first == key; });
    if (found == record.extras.end())
        return false;
    record.extras.erase(found);
    return true;
}

// Texts go in directly and numbers through appendFormat, so a piece may be
// of any length.
void describe(const LaunchParameters& record, std::string& out) {
    out += "{product=";
    out += record.product;
    out += ",state=";
    out += record.state;
    out += ",client=";
    out += record.client;
    appendFormat(out, ",visitMode=%d", record.visitMode);
    if (record.scene > 0)
        appendFormat(out, ",scene=%d", record.scene);
    const PositionTool& tool = record.positionTool;
    if (tool.present) {
        appendFormat(out, ",pt={type=%d,id=%d,path=", tool.type, tool.id);
        out += tool.path;
        appendTriple(out, ",pos=", tool.position);
        appendTriple(out, ",rot=", tool.rotation);
        appendTriple(out, ",scl=", tool.scale);
        out += "}";
    }
    if (!record.token.empty()) {
        out += ",token=";
        out += record.token;
    }
    out += "}";
}

}  // namespace qm
