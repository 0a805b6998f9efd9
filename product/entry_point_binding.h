#pragma once
// Binding the product library's exports to the process-wide entry points,
// with a fallback for each one the library lacks.
#include <windows.h>

#include <atomic>

// What a missing export means for the binding.
enum class MissingEntryPoint {
    BoxAndFailure,  // told in its own box; the library cannot be used
    FailureOnly,    // the library cannot be used, nothing shown
    Accepted,       // the fallback serves
};

// "Application can't be initialized." box for a missing entry point.
void showEntryPointMissing(const char* name);

// Binds one entry point: the export `name` of `module`, or else `fallback`
// (a null one leaves it unbound). False when it was missing and `missing`
// does not accept that.
template <typename Fn>
bool bindEntryPoint(HMODULE module, std::atomic<Fn>& binding, const char* name, Fn fallback,
                    MissingEntryPoint missing) {
    if (FARPROC found = GetProcAddress(module, name)) {
        binding.store(reinterpret_cast<Fn>(reinterpret_cast<void*>(found)));
        return true;
    }
    if (missing == MissingEntryPoint::BoxAndFailure)
        showEntryPointMissing(name);
    binding.store(fallback);
    return missing == MissingEntryPoint::Accepted;
}

// Binds the thirteen entry points of `module`, a fallback for each missing
// one; false when a required one is missing (each told in its own box).
bool bindEntryPoints(HMODULE module);
