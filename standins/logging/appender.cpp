#include "logging/appender.h"

namespace logging {

namespace {
constexpr std::size_t kLineSize = 2048;
}

Appender::Appender(Layout* layout) : layout_(layout) {}

Appender::~Appender() {
    delete layout_;
}

void Appender::append(Level level, const char* text) {
    char line[kLineSize];
    std::size_t length = 0;
    if (layout_) {
        length = layout_->format(level, text, line, sizeof line);
    } else {
        const char* source = text ? text : "";
        while (source[length] && length + 2 < sizeof line) {
            line[length] = source[length];
            ++length;
        }
        line[length++] = '\n';
        line[length] = '\0';
    }
    write(line, length);
}

}  // namespace logging
