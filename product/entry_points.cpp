#include "entry_points.h"

#include <windows.h>

EntryPointBindings entryPoints;

namespace {

// Sequentially consistent on both sides: a caller that counts itself in
// after the unbinder looked at the count must also see the cleared binding.
std::atomic<int> callsInFlight{0};
thread_local int callsOfThisThread = 0;

template <typename Fn>
void unbind(std::atomic<Fn>& binding) {
    binding.store(nullptr);
}

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
    unbind(entryPoints.qmUpdateSystem);
    unbind(entryPoints.qmUpdateSystemGetData);
    unbind(entryPoints.qmUpdateSystemRelease);
    unbind(entryPoints.qmPreInit);
    unbind(entryPoints.qmInit);
    unbind(entryPoints.qmIsFullScreen);
    unbind(entryPoints.qmStart);
    unbind(entryPoints.qmStop);
    unbind(entryPoints.qmResize);
    unbind(entryPoints.qmTextInput);
    unbind(entryPoints.qmWinEvent);
    unbind(entryPoints.qmKeyEvent);
    unbind(entryPoints.qmReset);
    // Calls of this thread further up the stack cannot finish while we wait;
    // only the other threads' calls are waited for.
    while (callsInFlight.load() > callsOfThisThread)
        Sleep(1);
}
