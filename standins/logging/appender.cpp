#include "logging/appender.h"

#include "line_text.h"

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
        length = appendLineText(line, 0, sizeof line, text);
        line[length++] = '\n';
        line[length] = '\0';
    }
    write(line, length);
}

}  // namespace logging
