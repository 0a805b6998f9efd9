#pragma once
// How a logged line is turned into the text an appender writes.
#include "logging/logging_api.h"

namespace logging {

class RBASE_API Layout : public HeapObject {
public:
    virtual ~Layout();
    // Writes the line for `text` at `level` into `buffer` (NUL-terminated,
    // line feed included, cut to fit) and returns its length.
    virtual std::size_t format(Level level, const char* text, char* buffer,
                               std::size_t size) const = 0;
};

// One line of fields joined by a separator, the text last. The field mask
// chooses the fields, in this order:
class RBASE_API SimpleLayout : public Layout {
public:
    enum Field : unsigned {
        Date = 0x01,          // local date, 2026-01-31
        Time = 0x02,          // local time, 23:59:58
        Milliseconds = 0x04,  // appended to the time, .123
        ProcessId = 0x08,
        ThreadId = 0x10,
        LevelName = 0x20,     // WARN or ERROR
    };

    SimpleLayout(unsigned fields, char separator);
    std::size_t format(Level level, const char* text, char* buffer,
                       std::size_t size) const override;

private:
    unsigned fields_;
    char separator_;
};

RBASE_API const char* levelName(Level level);

}  // namespace logging
