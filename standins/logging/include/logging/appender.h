#pragma once
// Where the logger's lines go. An appender owns its layout.
#include "logging/layout.h"

namespace logging {

class RBASE_API Appender : public HeapObject {
public:
    // Takes the layout over; null writes the bare text.
    explicit Appender(Layout* layout);
    virtual ~Appender();
    Appender(const Appender&) = delete;
    Appender& operator=(const Appender&) = delete;

    // Formats the line with the layout and hands it to write().
    void append(Level level, const char* text);

protected:
    virtual void write(const char* line, std::size_t length) = 0;

private:
    Layout* layout_;
};

}  // namespace logging
