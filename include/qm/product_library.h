#pragma once
// The product library's side of the contract with the Quorvel Meet host.
//
// A product library is a 32-bit Windows DLL (default file name qo.dll, or
// the "client" launch parameter followed by ".dll") that exports the
// thirteen functions below with C linkage and the __cdecl calling
// convention, so that GetProcAddress finds their plain names:
//
//     extern "C" __declspec(dllexport) void __cdecl qmStop();
//
// Unless a comment says otherwise the host calls them on its main thread,
// the thread of the main window. Build the library with the same compiler
// and C++ run-time as the host: LaunchParameters and UpdateData hold
// std::string and std::vector, which the library reads and writes in place.
//
// Exceptions: no exception may leave these functions or an operation of the
// product's loop (loop_delegate.h). With the GCC run-time linked statically
// into the host and into the library, each has an unwinder of its own that
// does not see the other's frames: an exception let out of the library ends
// the process (std::terminate). The host contains only what its own
// fallbacks for missing exports throw.
#include <windows.h>

#include "qm/launch_parameters.h"

namespace qm {
class QMLoopDelegate;

// What the update check asks of the host; filled by qmUpdateSystemGetData.
struct UpdateData {
    // 0x800: the launch must not go on; with 0x8 as well, a new version is
    // to be fetched from `url`. 0x4 (without 0x800): run the updater with
    // `src` and `productName`. No other bit is read.
    unsigned int flags = 0;
    std::string url;
    std::string src;
    std::string productName;
};

constexpr unsigned int kUpdateAbort = 0x800;
constexpr unsigned int kUpdateDownloadPage = 0x8;
constexpr unsigned int kUpdateRunUpdater = 0x4;

// The host executable's product version (1.4.6.8405: 1, 4, 6, 8405), or all
// zero when it has none.
struct HostVersion {
    int major = 0;
    int minor = 0;
    int build = 0;
    int revision = 0;
};

}  // namespace qm

extern "C" {

// Posts the "update check done" message to the main window; callable from
// any thread, once per check. Returns whether the message was posted.
typedef bool(__cdecl* QMUpdateCheckDoneFn)();

// Starts the update check. Return true when the check runs: it must then call
// `done` exactly once when finished, from any thread. Return false to let the
// host go on at once. After a reset this runs on the host's reset thread.
// `application` is the host's, opaque to the library; how long the launch
// record lives: launch_parameters.h. Each check gets a `done` of its own:
// call the one this check was given.
typedef bool(__cdecl* qmUpdateSystemFn)(qm::LaunchParameters* parameters, HWND mainWindow,
                                         QMUpdateCheckDoneFn done, void* application);
// Fills the outcome of the check; the host passes flags 0 and empty texts.
typedef bool(__cdecl* qmUpdateSystemGetDataFn)(qm::UpdateData* data);
// Called once after qmUpdateSystemGetData; the library is unloaded next.
typedef void(__cdecl* qmUpdateSystemReleaseFn)();
// Must be exported; never called.
typedef void(__cdecl* qmPreInitFn)();
// Once per start, before qmStart. The host owns both arguments; how long
// the launch record lives: launch_parameters.h.
typedef int(__cdecl* qmInitFn)(qm::LaunchParameters* parameters, const qm::HostVersion* version);
// Non-zero when the product wants the window full screen before it starts.
typedef int(__cdecl* qmIsFullScreenFn)();
// The product starts inside `window` with a client area of width x height.
// Store your ProductLoop in delegate->loop before returning: the host calls
// it from then on. `reserved` is 0.
typedef int(__cdecl* qmStartFn)(qm::QMLoopDelegate* delegate, int width, int height, HWND window,
                                HWND sameWindow, int reserved);
// The product stops. Called on a worker thread, before the window is
// destroyed (close) or before the library is unloaded (reset).
typedef void(__cdecl* qmStopFn)();
// New client size; `fullScreen` is 1 when qmIsFullScreen says so.
typedef void(__cdecl* qmResizeFn)(int width, int height, int fullScreen);
// One typed character as NUL-terminated UTF-8.
typedef void(__cdecl* qmTextInputFn)(const char* utf8);
// A keyboard, mouse, raw-input or window-position message of the main
// window. The message then goes on to the default window procedure;
// `handled` is set to 0 and not read back.
typedef void(__cdecl* qmWinEventFn)(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                    int* handled);
// Optional; never called.
typedef void(__cdecl* qmKeyEventFn)();
// New launch parameters from the owner program, NUL-terminated. Answer by
// calling the delegate's reset with the text to restart with.
typedef void(__cdecl* qmResetFn)(const char* text);

}  // extern "C"
