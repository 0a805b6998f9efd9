#pragma once
// Wine's X11 driver waits up to two seconds for a window manager each time a
// managed window is hidden, and Xvfb runs none: the please-wait dialog would
// then cost those seconds, which neither Windows nor a desktop under Wine
// spends. While this lives, the named programs get unmanaged windows (Wine's
// per-program setting; Windows ignores it). What it added goes again.
#include <string>
#include <vector>

class ScopedUnmanagedWindows {
public:
    explicit ScopedUnmanagedWindows(std::vector<std::string> programs);
    ~ScopedUnmanagedWindows();
    ScopedUnmanagedWindows(const ScopedUnmanagedWindows&) = delete;
    ScopedUnmanagedWindows& operator=(const ScopedUnmanagedWindows&) = delete;

private:
    std::vector<std::string> added_;  // programs whose setting was not there before
};
