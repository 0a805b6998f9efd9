#include "line_text.h"

namespace logging {

std::size_t appendLineText(char* buffer, std::size_t used, std::size_t size, const char* text) {
    for (const char* c = text ? text : ""; *c; ++c) {
        const bool lineBreak = *c == '\r' || *c == '\n';
        const std::size_t needed = lineBreak ? 2 : 1;
        if (used + needed + 2 > size)
            break;
        if (lineBreak) {
            buffer[used++] = '\\';
            buffer[used++] = *c == '\r' ? 'r' : 'n';
        } else {
            buffer[used++] = *c;
        }
    }
    return used;
}

}  // namespace logging
