// A small GUI program for the harness tests: it applies a log mask, writes
// one line per level, shows a box and exits with the code it was given.
// Usage: log_probe [log_flags] [exit code]
#include <windows.h>

#include <cstdlib>

#include "debug_log.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc > 1)
        applyLogFlags(__argv[1]);
    debugLog(kLogDebug, "probe debug %d", 1);
    debugLog(kLogInfo, "probe info %s", "two");
    debugLog(kLogWarning, "probe warning %s", "three");
    debugLog(kLogError, "probe error %x", 0xABC);
    MessageBoxA(nullptr, "probe text", "probe caption", MB_ICONWARNING);
    debugLog(kLogWarning, "after the box");
    return __argc > 2 ? std::atoi(__argv[2]) : 0;
}
