#include "entry_points.h"

#include <windows.h>

EntryPointBindings entryPoints;

namespace {

// Sequentially consistent on both sides: a caller that counts itself in
// after the unbinder looked at the count must also see the cleared binding.
std::atomic<int> callsInFlight{0};
thread_local int callsOfThisThread = 0;

}  // namespace

ProductCallScope::ProductCallScope() {
    ++callsOfThisThread;
    callsInFlight.fetch_add(1);
}

ProductCallScope::~ProductCallScope() {
    callsInFlight.fetch_sub(1);
    --callsOfThisThread;
}

void logProductException(const char* text) {
    debugLog(kLogError, "Exception from the product library: %s", text ? text : "(null)");
}

void unbindEntryPoints() {
    forEachEntryPoint(entryPoints, [](auto& binding, const char*) { binding.store(nullptr); });
    // Calls of this thread further up the stack cannot finish while we wait;
    // only the other threads' calls are waited for.
    while (callsInFlight.load() > callsOfThisThread)
        Sleep(1);
}
