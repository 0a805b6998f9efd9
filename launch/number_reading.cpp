#include "number_reading.h"

#include <cstdio>
#include <cstdlib>
#include <limits>

namespace qm {
namespace {

bool readLongLong(const std::string& text, long long& out) {
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (end == text.c_str())
        return false;
    out = value;  // strtoll saturates on overflow
    return true;
}

int32_t saturate(long long value) {
    if (value > std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    if (value < std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

}  // namespace

int32_t leadingInt(const std::string& text) {
    int32_t value = 0;
    return readInt(text, value) ? value : 0;
}

bool readInt(const std::string& text, int32_t& out) {
    long long value = 0;
    if (!readLongLong(text, value))
        return false;
    out = saturate(value);
    return true;
}

// sscanf itself: it refuses some texts that strtof reads in part ("0x",
// "infin"), and out-of-range floats become infinite rather than undefined.
bool readFloat(const std::string& text, float& out) {
    float value = 0.0f;
    if (std::sscanf(text.c_str(), "%f", &value) != 1)
        return false;
    out = value;
    return true;
}

bool readUnsigned(const std::string& text, uint64_t& out) {
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text.c_str(), &end, 10);
    if (end == text.c_str())
        return false;
    out = value;
    return true;
}

bool startsWithSignedInteger(const std::string& text) {
    long long ignored = 0;
    return readLongLong(text, ignored);
}

}  // namespace qm
