#pragma once
// Sees a debug run's lines as they arrive, so that a test can wait for the
// line that tells it what it waits for instead of waiting a fixed time.
#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "debug_harness.h"

class LineWatch {
public:
    // For DebugRunOptions::onLine; the watch must outlive the run.
    std::function<void(const ArrivingLine&)> hook();

    // Waits until `ready` says yes to the lines so far; false on time-out.
    bool waitUntil(const std::function<bool(const std::vector<std::string>&)>& ready, DWORD timeoutMs) const;
    // Waits until `count` lines that start with `prefix` have arrived.
    bool waitForLines(const std::string& prefix, size_t count, DWORD timeoutMs) const;

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<std::string> lines_;
};
