#pragma once
// The process-wide logger: every line goes to each attached appender.
// All calls are thread-safe, never throw and leave GetLastError unchanged.
#include "logging/appender.h"

namespace logging {

class RBASE_API Logger {
public:
    static Logger* getLogger();

    unsigned getAppenderCount() const;
    // Takes the appender over; it is freed when detached.
    void attach(Appender* appender);
    // Detaches and frees every appender.
    void clearAppenders();

    void warn(const char* text);
    void error(const char* text);
    // printf-style; `count` is the number of values that follow. A format
    // whose conversions do not match it is written as it stands, so that no
    // value is read that was not passed.
    void warnf(const char* format, unsigned count, ...);
    void errorf(const char* format, unsigned count, ...);

    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;

private:
    Logger();
    ~Logger();
    struct State;
    State* state_;
};

// How many values a printf format reads (a '*' width or precision counts).
RBASE_API unsigned countFormatValues(const char* format);

}  // namespace logging
