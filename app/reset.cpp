#include <windows.h>

#include <memory>
#include <string>

#include "catalogue_box.h"
#include "command_line.h"
#include "debug_log.h"
#include "entry_points.h"
#include "host_state.h"
#include "launch_platform.h"
#include "launch_record.h"
#include "loop_delegate_win32.h"
#include "message_catalogue.h"
#include "private_messages.h"
#include "product_library_loader.h"
#include "qm_standalone.h"
#include "reset_request.h"
#include "unique_handle.h"

namespace {

struct ResetRequest {
    QMStandAlone* application;
    std::string text;
};

std::mutex resetMutex;                      // guards the four below
std::unique_ptr<ResetRequest> waitingReset; // the latest request not yet started
bool resetWorkerRunning = false;
bool resetsClosed = false;                  // a close was accepted, a reset failed or the process ends
bool closeAfterReset = false;               // a close accepted while the worker ran

// No reset starts from now on; the one running (if any) finishes.
void closeResetsLocked() {
    resetsClosed = true;
    waitingReset.reset();
}

// The close that waited for the resets: carried out on the main thread
// through the ordinary close path.
void postCloseAfterReset() {
    if (!PostMessageA(mainWindow.load(), kPrivateMessage, kCloseAfterReset, 0))
        debugLog(kLogError, "Unable to carry out the close after the reset (err %d)",
                 static_cast<int>(GetLastError()));
}

bool resetWorkerBusy() {
    std::lock_guard<std::mutex> lock(resetMutex);
    return resetWorkerRunning;
}

// A failed reset ends the run: nothing waits behind it, and the close that
// may have waited for it is moot.
void endResetsAfterFailure() {
    std::lock_guard<std::mutex> lock(resetMutex);
    closeResetsLocked();
    closeAfterReset = false;
}

DWORD WINAPI resetWorker(void*) {
    for (;;) {
        std::unique_ptr<ResetRequest> request;
        bool closeWaits = false;
        {
            std::lock_guard<std::mutex> lock(resetMutex);
            request = std::move(waitingReset);
            if (!request) {
                resetWorkerRunning = false;
                closeWaits = closeAfterReset;
                closeAfterReset = false;
            }
        }
        if (!request) {
            if (closeWaits)
                postCloseAfterReset();
            return 0;
        }
        if (request->application)
            request->application->_reset(request->text.c_str());
    }
}

}  // namespace

std::mutex& productLifecycleLock() {
    static std::mutex lock;
    return lock;
}

void startReset(QMStandAlone* application, const char* text) {
    {
        std::lock_guard<std::mutex> lock(resetMutex);
        if (resetsClosed) {
            debugLog(kLogWarning, "Reset refused: the host is closing");
            return;
        }
        if (waitingReset)
            debugLog(kLogInfo, "Reset: a newer request replaces the waiting one");
        waitingReset.reset(new ResetRequest{application, text ? text : ""});
        if (resetWorkerRunning)
            return;
        resetWorkerRunning = true;
    }
    UniqueKernelHandle thread(CreateThread(nullptr, 0, resetWorker, nullptr, 0, nullptr));
    if (!thread) {
        debugLog(kLogError, "Unable to spawn reset thread. Trying immediate reset!");
        resetWorker(nullptr);
    }
}

CloseTiming acceptClose() {
    std::lock_guard<std::mutex> lock(resetMutex);
    closeResetsLocked();
    if (!resetWorkerRunning)
        return CloseTiming::Now;
    closeAfterReset = true;
    return CloseTiming::AfterReset;
}

void finishResets() {
    {
        std::lock_guard<std::mutex> lock(resetMutex);
        closeResetsLocked();
    }
    while (resetWorkerBusy()) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void QMStandAlone::_reset(const char* text) {
    // Only this worker replaces `params`, so building the new record from it
    // needs no lock; replacing it does.
    qm::LaunchParameters next = qm::carryOver(params);
    qm::parseLaunchText(next, text, qm::windowsLaunchPlatform());

    std::string description = "current:";
    qm::describe(params, description);
    description += " new:";
    qm::describe(next, description);
    debugLog(kLogInfo, "QMStandAlone::_reset:incompatible parameters: %s", description.c_str());

    bool restarted;
    {
        // The product start on the main thread hands `params` to qmInit by
        // address: it is replaced only while no start can run.
        std::lock_guard<std::mutex> lifecycle(productLifecycleLock());
        applyParameters(next);
        debugLog(kLogDebug, "Reset: %s", text);

        callEntryPoint(entryPoints.qmStop);
        // The old product's loop lives in the library about to go.
        activeDelegate.store(nullptr);
        unloadProductLibrary(libraryHandle);
        libraryHandle = nullptr;
        restarted = initialize();
    }
    if (restarted)
        return;

    debugLog(kLogError, "Reset failed!");
    // Before the quit: a request that waited behind this one must not run.
    endResetsAfterFailure();
    // Read outside the lock: only this worker replaces `params`.
    showCatalogueBox(params, mainWindow.load(), kMsgRestartFailed, kMsgCaptionError, kSystemModalError);
    // The main thread's loop ends with exit code 0.
    PostThreadMessageW(mainThreadId.load(), WM_QUIT, 0, 0);
}
