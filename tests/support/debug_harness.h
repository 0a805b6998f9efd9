#pragma once
// Starts a Windows program as its debugger, the way a developer's debug
// output viewer sees it: every OutputDebugStringA line arrives in order as a
// debug event. Message boxes of the program are recorded and answered.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "message_box_watcher.h"

struct DebugRun {
    bool started = false;
    bool timedOut = false;
    DWORD exitCode = 0;
    DWORD processId = 0;
    std::vector<std::string> lines;  // each line as written, line feed included
    std::vector<RecordedBox> boxes;

    // Lines that start with `prefix`, in order.
    std::vector<std::string> linesStartingWith(const std::string& prefix) const;
    bool hasLine(const std::string& line) const;
};

// A line as it arrives: `seconds` since the program was started, and the
// program's process, held at the line's debug event until the watcher
// returns (so what is read from it then is its state at that line).
struct ArrivingLine {
    const std::string& text;
    double seconds;
    HANDLE process;
};

struct DebugRunOptions {
    DWORD timeoutMs = 60000;
    std::string workingDirectory;  // empty: the caller's
    bool answerBoxes = true;
    // With a count: once that many boxes were answered and none is left on
    // the screen, close the program's top-level windows (WM_CLOSE), for a
    // program that stays open after telling its failure.
    size_t closeAfterBoxes = 0;
    // Sees each line as it arrives, on the harness's thread: for timing, for
    // reading the program's state at a line, or for ending it at a signal.
    std::function<void(const ArrivingLine&)> onLine;
};

// Runs the program to its end (or kills it at the time-out). A test that
// drives the program meanwhile calls this on a thread of its own.
DebugRun runUnderDebugger(const std::string& commandLine, const DebugRunOptions& options = {});

// Directory of the running test program, with a trailing backslash: the
// programs and DLLs built for the tests lie there.
std::string testBinaryDirectory();
