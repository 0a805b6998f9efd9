#include "entry_point_binding.h"

#include <cstdio>

#include "entry_points.h"

namespace {

// A fallback for a missing export: throws "<name> not implemented".
template <typename Fn, const char* const* Text>
struct Thrower;
template <typename R, typename... Args, const char* const* Text>
struct Thrower<R (*)(Args...), Text> {
    static R call(Args...) { throw *Text; }
};

const char* const kPreInitMissing = "qmPreInit not implemented";
const char* const kInitMissing = "qmInit not implemented";
const char* const kStartMissing = "qmStart not implemented";
const char* const kStopMissing = "qmStop not implemented";
const char* const kResizeMissing = "qmResize not implemented";
const char* const kIsFullScreenMissing = "qmIsFullScreen not implemented";
const char* const kTextInputMissing = "qmTextInput not implemented";
const char* const kWinEventMissing = "qmWinEvent not implemented";
const char* const kKeyEventMissing = "qmKeyEvent not implemented";
const char* const kResetMissing = "qmReset not implemented: this product cannot be reset";

bool __cdecl updateSystemFallback(qm::LaunchParameters*, HWND, QMUpdateCheckDoneFn, void*) { return false; }
bool __cdecl getDataFallback(qm::UpdateData*) { return false; }
void __cdecl releaseFallback() {}

}  // namespace

void showEntryPointMissing(const char* name) {
    char text[256] = {};
    std::snprintf(text, sizeof text, "Application can't be initialized.\n\n(%s entry point not found)", name);
    MessageBoxA(nullptr, text, "ERROR", MB_ICONERROR);
}

bool bindEntryPoints(HMODULE module) {
    constexpr MissingEntryPoint required = MissingEntryPoint::BoxAndFailure;
    bool ok = true;
    ok &= bindEntryPoint(module, entryPoints.qmUpdateSystem, "qmUpdateSystem", &updateSystemFallback, required);
    ok &= bindEntryPoint(module, entryPoints.qmUpdateSystemGetData, "qmUpdateSystemGetData", &getDataFallback,
                         required);
    ok &= bindEntryPoint(module, entryPoints.qmUpdateSystemRelease, "qmUpdateSystemRelease", &releaseFallback,
                         required);
    ok &= bindEntryPoint(module, entryPoints.qmPreInit, "qmPreInit", &Thrower<qmPreInitFn, &kPreInitMissing>::call,
                         required);
    ok &= bindEntryPoint(module, entryPoints.qmInit, "qmInit", &Thrower<qmInitFn, &kInitMissing>::call, required);
    ok &= bindEntryPoint(module, entryPoints.qmStart, "qmStart", &Thrower<qmStartFn, &kStartMissing>::call,
                         required);
    ok &= bindEntryPoint(module, entryPoints.qmStop, "qmStop", &Thrower<qmStopFn, &kStopMissing>::call, required);
    ok &= bindEntryPoint(module, entryPoints.qmResize, "qmResize", &Thrower<qmResizeFn, &kResizeMissing>::call,
                         required);
    ok &= bindEntryPoint(module, entryPoints.qmIsFullScreen, "qmIsFullScreen",
                         &Thrower<qmIsFullScreenFn, &kIsFullScreenMissing>::call, required);
    ok &= bindEntryPoint(module, entryPoints.qmTextInput, "qmTextInput",
                         &Thrower<qmTextInputFn, &kTextInputMissing>::call, required);
    ok &= bindEntryPoint(module, entryPoints.qmWinEvent, "qmWinEvent", &Thrower<qmWinEventFn, &kWinEventMissing>::call,
                         required);
    ok &= bindEntryPoint(module, entryPoints.qmKeyEvent, "qmKeyEvent", &Thrower<qmKeyEventFn, &kKeyEventMissing>::call,
                         MissingEntryPoint::Accepted);
    ok &= bindEntryPoint(module, entryPoints.qmReset, "qmReset", &Thrower<qmResetFn, &kResetMissing>::call,
                         MissingEntryPoint::FailureOnly);
    return ok;
}
