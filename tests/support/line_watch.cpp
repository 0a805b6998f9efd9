#include "line_watch.h"

#include <chrono>

#include "text_lines.h"

std::function<void(const ArrivingLine&)> LineWatch::hook() {
    return [this](const ArrivingLine& line) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            lines_.push_back(line.text);
        }
        arrived_.notify_all();
    };
}

bool LineWatch::waitUntil(const std::function<bool(const std::vector<std::string>&)>& ready,
                          DWORD timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return ready(lines_); });
}

bool LineWatch::waitForLines(const std::string& prefix, size_t count, DWORD timeoutMs) const {
    return waitUntil(
        [&](const std::vector<std::string>& lines) { return linesStartingWith(lines, prefix).size() >= count; },
        timeoutMs);
}
