#pragma once
// Captures the diagnostic log's lines, from any thread, for as long as it
// lives, with the mask it was given (every level unless told otherwise);
// the sink and the mask it found come back when it goes. Portable.
#include <mutex>
#include <string>
#include <vector>

#include "debug_log.h"
#include "text_lines.h"

class LogCapture {
public:
    explicit LogCapture(uint32_t mask = kLogDebug | kLogInfo | kLogWarning | kLogError)
        : previousMask_(logMask()) {
        clear();
        previousSink_ = setLogSink(&capture);
        setLogMask(mask);
    }
    ~LogCapture() {
        setLogSink(previousSink_);
        setLogMask(previousMask_);
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const {
        std::lock_guard<std::mutex> hold(lock());
        return store();
    }
    // Lines that start with `prefix`, in order.
    std::vector<std::string> linesStartingWith(const std::string& prefix) const {
        return ::linesStartingWith(lines(), prefix);
    }
    void clear() {
        std::lock_guard<std::mutex> hold(lock());
        store().clear();
    }

private:
    static std::mutex& lock() {
        static std::mutex instance;
        return instance;
    }
    static std::vector<std::string>& store() {
        static std::vector<std::string> instance;
        return instance;
    }
    static void capture(const char* line) {
        std::lock_guard<std::mutex> hold(lock());
        store().push_back(line);
    }

    LogSink previousSink_ = nullptr;
    uint32_t previousMask_;
};
