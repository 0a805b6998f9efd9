#pragma once
// An appender that keeps each line as "LEVEL|text" in a list the test owns;
// the logger frees the appender itself when it is detached.
#include <string>
#include <vector>

#include "logging/appender.h"

class RecordingAppender : public logging::Appender {
public:
    RecordingAppender(std::vector<std::string>* lines, bool* freed)
        : Appender(new logging::SimpleLayout(logging::SimpleLayout::LevelName, '|')),
          lines_(lines), freed_(freed) {}
    ~RecordingAppender() override {
        if (freed_)
            *freed_ = true;
    }

protected:
    void write(const char* line, std::size_t length) override {
        std::string text(line, length);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        lines_->push_back(text);
    }

private:
    std::vector<std::string>* lines_;
    bool* freed_;
};
