#pragma once
// Captures the diagnostic log's lines, from any thread, for as long as it
// lives; every level is enabled meanwhile.
#include <mutex>
#include <string>
#include <vector>

#include "debug_log.h"

class LogCapture {
public:
    LogCapture() : previousMask_(logMask()) {
        clear();
        previousSink_ = setLogSink(&capture);
        setLogMask(kLogDebug | kLogInfo | kLogWarning | kLogError);
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
        std::vector<std::string> found;
        for (const std::string& line : lines()) {
            if (line.compare(0, prefix.size(), prefix) == 0)
                found.push_back(line);
        }
        return found;
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
