#include "logging/layout.h"

#include <windows.h>

#include <cstdio>

#include "line_text.h"

namespace logging {

Layout::~Layout() = default;

const char* levelName(Level level) {
    return level == Level::Error ? "ERROR" : "WARN";
}

SimpleLayout::SimpleLayout(unsigned fields, char separator)
    : fields_(fields), separator_(separator) {}

std::size_t SimpleLayout::format(Level level, const char* text, char* buffer,
                                 std::size_t size) const {
    if (size == 0)
        return 0;
    SYSTEMTIME now;
    GetLocalTime(&now);

    std::size_t used = 0;
    // Appends with snprintf's cut-off; `used` never passes the last byte.
    auto add = [&](const char* format, auto... values) {
        if (used + 1 >= size)
            return;
        const int written = std::snprintf(buffer + used, size - used, format, values...);
        if (written > 0)
            used += static_cast<std::size_t>(written) < size - used ? written : size - used - 1;
    };
    auto field = [&](unsigned bit, auto write) {
        if (fields_ & bit) {
            write();
            add("%c", separator_);
        }
    };

    field(Date, [&] { add("%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay); });
    if (fields_ & Time) {
        add("%02u:%02u:%02u", now.wHour, now.wMinute, now.wSecond);
        if (fields_ & Milliseconds)
            add(".%03u", now.wMilliseconds);
        add("%c", separator_);
    }
    field(ProcessId, [&] { add("%lu", GetCurrentProcessId()); });
    field(ThreadId, [&] { add("%lu", GetCurrentThreadId()); });
    field(LevelName, [&] { add("%s", levelName(level)); });
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    // The line feed survives any cut.
    if (used + 2 > size)
        used = size - 2;
    used = appendLineText(buffer, used, size, text);
    buffer[used++] = '\n';
    buffer[used] = '\0';
    return used;
}

}  // namespace logging
