#pragma once
// Private memory of another process, read while it is held (at a debug event).
#include <windows.h>

struct PrivateMemory {
    SIZE_T privateUsage = 0;      // PROCESS_MEMORY_COUNTERS_EX.PrivateUsage; 0 when unreadable
    SIZE_T pagefileUsage = 0;     // the commit charge again, which Wine fills
    SIZE_T committedPrivate = 0;  // the committed private regions of its address space, summed
};

PrivateMemory privateMemoryOf(HANDLE process);
