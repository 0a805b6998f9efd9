#pragma once
// The thirteen process-wide bindings of the product library's entry points.
//
// The window procedure calls through them on the main thread while a reset
// clears them on its own thread and then releases the library. Every call
// goes through callEntryPoint, which counts itself in flight; unbinding
// clears the bindings and then waits until no call of another thread is
// left inside the library, so nothing runs in a module being released. The
// cost per call is two uncontended atomic operations.
#include <atomic>

#include "debug_log.h"
#include "qm/product_library.h"

// The thirteen entry points, the one list of them: X(name) for each, in the
// order of the product library's interface; name##Fn is its type.
#define QM_PRODUCT_ENTRY_POINTS(X)                                                                      \
    X(qmUpdateSystem) X(qmUpdateSystemGetData) X(qmUpdateSystemRelease) X(qmPreInit) X(qmInit)          \
    X(qmIsFullScreen) X(qmStart) X(qmStop) X(qmResize) X(qmTextInput) X(qmWinEvent) X(qmKeyEvent)      \
    X(qmReset)

struct EntryPointBindings {
#define QM_ENTRY_POINT_BINDING(name) std::atomic<name##Fn> name{nullptr};
    QM_PRODUCT_ENTRY_POINTS(QM_ENTRY_POINT_BINDING)
#undef QM_ENTRY_POINT_BINDING
};

extern EntryPointBindings entryPoints;

// Calls visit(binding, name) for each of the thirteen bindings, in order;
// `binding` is the std::atomic of the entry point's own type.
template <typename Visit>
void forEachEntryPoint(EntryPointBindings& bindings, Visit&& visit) {
#define QM_VISIT_ENTRY_POINT(name) visit(bindings.name, #name);
    QM_PRODUCT_ENTRY_POINTS(QM_VISIT_ENTRY_POINT)
#undef QM_VISIT_ENTRY_POINT
}

// Makes all thirteen bindings unbound and returns once no other thread is
// still inside a call through one of them.
void unbindEntryPoints();

// Marks a call into the product library (an entry point or the product's
// loop object) as in flight for its lifetime, so that unbinding waits for it.
class ProductCallScope {
public:
    ProductCallScope();
    ~ProductCallScope();
    ProductCallScope(const ProductCallScope&) = delete;
    ProductCallScope& operator=(const ProductCallScope&) = delete;
};

// Logs an exception that a call into the product library let through.
void logProductException(const char* text);

// Runs `call` inside a ProductCallScope, containing whatever reaches the
// host's own unwinder (the fallbacks throw their text): the exception is
// logged at Error level and goes no further. Returns false when it threw.
// An exception thrown inside the product library never gets here: the
// library's statically linked run-time does not see these frames and ends
// the process.
template <typename Call>
bool guardedProductCall(Call&& call) {
    ProductCallScope scope;
    try {
        call();
        return true;
    } catch (const char* text) {
        logProductException(text);
    } catch (...) {
        logProductException("unknown exception");
    }
    return false;
}

// Calls through a binding when it is bound. Returns false when it was
// unbound or the call threw.
template <typename Fn, typename... Args>
bool callEntryPoint(std::atomic<Fn>& binding, Args... args) {
    bool called = false;
    guardedProductCall([&] {
        if (Fn function = binding.load()) {
            function(args...);
            called = true;
        }
    });
    return called;
}

// Calls through a binding for its answer; `otherwise` when it is unbound or
// the call threw.
template <typename Result, typename Fn, typename... Args>
Result queryEntryPoint(std::atomic<Fn>& binding, Result otherwise, Args... args) {
    Result answer = otherwise;
    guardedProductCall([&] {
        if (Fn function = binding.load())
            answer = static_cast<Result>(function(args...));
    });
    return answer;
}
