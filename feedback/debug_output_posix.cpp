#include "debug_log.h"

#include <cstdio>

// Natively there is no debugger channel: standard error is the developer's view.
void writeDebugOutput(const char* line) {
    std::fputs(line, stderr);
}
