#include "debug_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {

std::atomic<uint32_t> levelMask{kDefaultLogMask};
std::atomic<LogSink> lineSink{&writeDebugOutput};

char levelLetter(uint32_t level) {
    switch (level) {
    case kLogDebug: return 'D';
    case kLogInfo: return 'I';
    case kLogWarning: return 'W';
    case kLogError: return 'E';
    default: return '?';
    }
}

bool containsAny(const char* text, const char* letters) {
    for (const char* c = text; *c; ++c) {
        for (const char* l = letters; *l; ++l) {
            if (*c == *l)
                return true;
        }
    }
    return false;
}

}  // namespace

void debugLog(uint32_t level, const char* format, ...) {
    if ((level & levelMask.load(std::memory_order_relaxed)) == 0)
        return;

    char line[kLogLineSize];
    line[0] = levelLetter(level);
    line[1] = '|';

    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(line + 2, kLogTextLimit + 1, format, args);
    va_end(args);

    if (written < 0) {
        std::snprintf(line + 2, kLogTextLimit + 1, "%s", "*** log error ***\n");
    } else {
        const int length = written < kLogTextLimit ? written : kLogTextLimit;
        line[2 + length] = '\n';
        line[3 + length] = '\0';
    }
    lineSink.load(std::memory_order_relaxed)(line);
}

void applyLogFlags(const char* value) {
    uint32_t mask = 0;
    if (value) {
        if (containsAny(value, "dD")) mask |= kLogDebug;
        if (containsAny(value, "iI")) mask |= kLogInfo;
        if (containsAny(value, "wW")) mask |= kLogWarning;
        if (containsAny(value, "eEfF")) mask |= kLogError;
    }
    setLogMask(mask);
}

uint32_t logMask() {
    return levelMask.load(std::memory_order_relaxed);
}

void setLogMask(uint32_t mask) {
    levelMask.store(mask, std::memory_order_relaxed);
}

LogSink setLogSink(LogSink sink) {
    return lineSink.exchange(sink ? sink : &writeDebugOutput);
}
