#pragma once
#include <cstdint>

// Levels of the diagnostic log; each is one bit of the level mask.
enum LogLevel : uint32_t {
    kLogDebug = 1,
    kLogInfo = 2,
    kLogWarning = 4,
    kLogError = 8,
};

constexpr uint32_t kDefaultLogMask = kLogWarning | kLogError;
constexpr int kLogLineSize = 1024;  // whole line, NUL included
constexpr int kLogTextLimit = kLogLineSize - 4;  // letter, bar, line feed, NUL

#if defined(__GNUC__)
#define QM_PRINTF_LIKE(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define QM_PRINTF_LIKE(fmt, args)
#endif

// Writes "L|text\n" to the debugger output when the level shares a bit with
// the mask. Any thread, any time; never allocates and never fails.
void debugLog(uint32_t level, const char* format, ...) QM_PRINTF_LIKE(2, 3);

// Replaces the mask from a "log_flags" value: d, i, w, e/f in any case.
void applyLogFlags(const char* value);

uint32_t logMask();
void setLogMask(uint32_t mask);

// Where finished lines go: the debugger output on Windows, standard error
// elsewhere. Tests swap it to capture lines; returns the previous sink.
using LogSink = void (*)(const char* line);
LogSink setLogSink(LogSink sink);
void writeDebugOutput(const char* line);
