#include "debug_log.h"

#include <windows.h>

void writeDebugOutput(const char* line) {
    OutputDebugStringA(line);
}
