#pragma once
// The process-wide handlers that turn a crash into a report.
#include <windows.h>

#include "crash_event.h"

using CrashSink = void (*)(const CrashEvent& event);

// Installs the handlers `flags` (CRASH_HANDLER_*) ask for; each one hands
// its crash to `sink` on a thread of its own and then ends the process.
void installCrashHandlers(DWORD flags, CrashSink sink);
// Puts back what was there before the install.
void removeCrashHandlers();
