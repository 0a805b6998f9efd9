#include "logging/logger.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <vector>

namespace logging {

namespace {

constexpr std::size_t kTextSize = 2048;

// A logging call must not disturb the error code its caller is about to read.
class LastErrorKeeper {
public:
    LastErrorKeeper() : error_(GetLastError()) {}
    ~LastErrorKeeper() { SetLastError(error_); }

private:
    DWORD error_;
};

}  // namespace

struct Logger::State {
    mutable std::mutex mutex;
    std::vector<Appender*> appenders;
};

Logger::Logger() : state_(new State) {}

Logger::~Logger() {
    clearAppenders();
    delete state_;
}

Logger* Logger::getLogger() {
    // Never destroyed: at process exit an appender's code may already be gone
    // (a library that attached one and was released), and lines written by
    // other modules' exit code must still find a logger.
    static Logger* const logger = new Logger;
    return logger;
}

unsigned Logger::getAppenderCount() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return static_cast<unsigned>(state_->appenders.size());
}

void Logger::attach(Appender* appender) {
    if (!appender)
        return;
    LastErrorKeeper keeper;
    std::lock_guard<std::mutex> lock(state_->mutex);
    try {
        state_->appenders.push_back(appender);
    } catch (...) {
        delete appender;
    }
}

void Logger::clearAppenders() {
    LastErrorKeeper keeper;
    std::vector<Appender*> detached;
    {
        std::lock_guard<std::mutex> lock(state_->mutex);
        detached.swap(state_->appenders);
    }
    for (Appender* appender : detached)
        delete appender;
}

namespace {

void writeLine(std::mutex& mutex, const std::vector<Appender*>& appenders, Level level,
               const char* text) {
    LastErrorKeeper keeper;
    std::lock_guard<std::mutex> lock(mutex);
    for (Appender* appender : appenders)
        appender->append(level, text);
}

void writeFormatted(std::mutex& mutex, const std::vector<Appender*>& appenders, Level level,
                    const char* format, unsigned count, va_list values) {
    if (!format)
        return;
    if (countFormatValues(format) != count) {
        writeLine(mutex, appenders, level, format);
        return;
    }
    char text[kTextSize];
    if (std::vsnprintf(text, sizeof text, format, values) < 0)
        std::snprintf(text, sizeof text, "%s", format);
    writeLine(mutex, appenders, level, text);
}

}  // namespace

void Logger::warn(const char* text) {
    writeLine(state_->mutex, state_->appenders, Level::Warning, text);
}

void Logger::error(const char* text) {
    writeLine(state_->mutex, state_->appenders, Level::Error, text);
}

void Logger::warnf(const char* format, unsigned count, ...) {
    va_list values;
    va_start(values, count);
    writeFormatted(state_->mutex, state_->appenders, Level::Warning, format, count, values);
    va_end(values);
}

void Logger::errorf(const char* format, unsigned count, ...) {
    va_list values;
    va_start(values, count);
    writeFormatted(state_->mutex, state_->appenders, Level::Error, format, count, values);
    va_end(values);
}

unsigned countFormatValues(const char* format) {
    unsigned count = 0;
    for (const char* c = format; c && *c; ++c) {
        if (*c != '%')
            continue;
        ++c;
        if (*c == '%')
            continue;
        // Flags, width, precision and length up to the conversion letter.
        while (*c && std::strchr("-+ #0123456789.*hlLqjztI", *c)) {
            if (*c == '*')
                ++count;
            ++c;
        }
        if (!*c)
            break;
        ++count;
    }
    return count;
}

}  // namespace logging
