#include "process_memory.h"

#include <psapi.h>

namespace {

// Under Wine the counters come from the hosting Linux process (PrivateUsage
// stays 0, PagefileUsage is its anonymous memory, the emulator's code cache
// included); walking the regions gives the Windows view of the process.
SIZE_T committedPrivateRegions(HANDLE process) {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region = {};
    for (const char* address = nullptr;
         VirtualQueryEx(process, address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        if (region.RegionSize == 0)
            break;
    }
    return total;
}

}  // namespace

PrivateMemory privateMemoryOf(HANDLE process) {
    PrivateMemory memory;
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        memory.privateUsage = counters.PrivateUsage;
        memory.pagefileUsage = counters.PagefileUsage;
    }
    memory.committedPrivate = committedPrivateRegions(process);
    return memory;
}
