#pragma once
// What the handlers know about a crash when they hand it to the report writer.
#include <windows.h>

struct CrashEvent {
    const char* reason = "";                 // one line for report.txt
    DWORD threadId = 0;                      // the thread that crashed
    EXCEPTION_POINTERS* exception = nullptr; // its state; null for a signal
    DWORD substituteCode = 0;                // the dump's exception code without one
};
