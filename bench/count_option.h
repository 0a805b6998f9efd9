#pragma once
// A positive count given on the command line as `NAME N`.
#include <algorithm>
#include <cstdlib>
#include <cstring>

inline int countOption(int argc, char** argv, const char* name, int otherwise) {
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0)
            return std::max(1, std::atoi(argv[i + 1]));
    }
    return otherwise;
}
