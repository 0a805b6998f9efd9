#pragma once
// The thirteen process-wide bindings of the product library's entry points.
//
// The window procedure calls through them on the main thread while a reset
// clears them on its own thread and then releases the library. Every call
// goes through callEntryPoint, which counts itself in flight; unbinding
// clears the bindings and then waits until no call of another thread is
// left inside the library, so nothing runs in a module being released. The
// cost per call is two uncontended atomic increments.
#include <atomic>

#include "debug_log.h"
#include "qm/product_library.h"

struct EntryPointBindings {
    std::atomic<qmUpdateSystemFn> qmUpdateSystem{nullptr};
    std::atomic<qmUpdateSystemGetDataFn> qmUpdateSystemGetData{nullptr};
    std::atomic<qmUpdateSystemReleaseFn> qmUpdateSystemRelease{nullptr};
    std::atomic<qmPreInitFn> qmPreInit{nullptr};
    std::atomic<qmInitFn> qmInit{nullptr};
    std::atomic<qmIsFullScreenFn> qmIsFullScreen{nullptr};
    std::atomic<qmStartFn> qmStart{nullptr};
    std::atomic<qmStopFn> qmStop{nullptr};
    std::atomic<qmResizeFn> qmResize{nullptr};
    std::atomic<qmTextInputFn> qmTextInput{nullptr};
    std::atomic<qmWinEventFn> qmWinEvent{nullptr};
    std::atomic<qmKeyEventFn> qmKeyEvent{nullptr};
    std::atomic<qmResetFn> qmReset{nullptr};
};

extern EntryPointBindings entryPoints;

// Makes all thirteen bindings unbound and returns once no other thread is
// still inside a call through one of them.
void unbindEntryPoints();

namespace entry_point_detail {
void enterCall();
void leaveCall();
void logEscapedException(const char* text);
}  // namespace entry_point_detail

// Calls through a binding when it is bound. Returns false when it was
// unbound or the call threw (the fallbacks throw their text); the exception
// is logged at Error level and goes no further.
template <typename Fn, typename... Args>
bool callEntryPoint(std::atomic<Fn>& binding, Args... args) {
    entry_point_detail::enterCall();
    bool called = false;
    try {
        if (Fn function = binding.load(std::memory_order_acquire)) {
            function(args...);
            called = true;
        }
    } catch (const char* text) {
        entry_point_detail::logEscapedException(text);
    } catch (...) {
        entry_point_detail::logEscapedException("unknown exception");
    }
    entry_point_detail::leaveCall();
    return called;
}
