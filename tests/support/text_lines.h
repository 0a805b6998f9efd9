#pragma once
// Picking lines out of a log, a journal or a program's output. Portable.
#include <string>
#include <vector>

// The lines that start with `prefix`, in order.
inline std::vector<std::string> linesStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            found.push_back(line);
    }
    return found;
}
