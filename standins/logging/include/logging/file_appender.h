#pragma once
// Appends each line to a file, creating the folders of its path. The file is
// opened for each line and shared, so that several processes can write one
// log and readers can follow it.
#include "logging/appender.h"
#include "logging/logging_api.h"

namespace logging {

class RMAIN_API FileAppender : public Appender {
public:
    enum Mode : unsigned {
        Append = 0,    // keep what the file holds
        Truncate = 1,  // start the file anew when the appender is made
    };

    // `maxBytes`: a line that would make the file larger starts it anew.
    FileAppender(const char* path, Mode mode, unsigned maxBytes, Layout* layout);
    ~FileAppender() override;

protected:
    void write(const char* line, std::size_t length) override;

private:
    char* path_;
    unsigned maxBytes_;
};

}  // namespace logging
