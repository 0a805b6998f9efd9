#include "close_procedure.h"

#include <cstdlib>

#include "debug_log.h"
#include "entry_points.h"
#include "loop_delegate_win32.h"
#include "private_messages.h"
#include "reset_request.h"
#include "unique_handle.h"

namespace {

struct CloseRequest {
    HWND window;
    UniqueKernelHandle thread;
    bool productStopped = false;
};

// The one close in progress; main thread only. While it is set, further
// close requests are refused, so qmStop never runs twice at once, and only
// this request is accepted back from the worker.
CloseRequest* pendingClose = nullptr;
// A close accepted while a reset ran, carried out when the reset worker is
// done; main thread only.
bool closeWaitsForReset = false;

DWORD WINAPI closeWorker(void* parameter) {
    auto* request = static_cast<CloseRequest*>(parameter);
    // A reset may have unloaded the product meanwhile: then there is nothing
    // to stop and the window stays open.
    {
        std::lock_guard<std::mutex> lifecycle(productLifecycleLock());
        request->productStopped = entryPoints.qmStop.load() != nullptr;
        if (request->productStopped)
            callEntryPoint(entryPoints.qmStop);
    }
    SendMessageA(request->window, kPrivateMessage, kCloseWorkerDone, reinterpret_cast<LPARAM>(request));
    return 0;
}

// Stops the product on the close worker, or destroys the window at once
// when no product runs.
LRESULT closeNow(HWND window, WPARAM wParam, LPARAM lParam) {
    if (!entryPoints.qmStop.load())
        return DefWindowProcW(window, WM_CLOSE, wParam, lParam);

    auto* request = new CloseRequest{window, UniqueKernelHandle(), false};
    DWORD threadId = 0;
    request->thread.reset(CreateThread(nullptr, 0, closeWorker, request, CREATE_SUSPENDED, &threadId));
    if (!request->thread)
        std::exit(0);
    pendingClose = request;
    ResumeThread(request->thread.get());
    return 0;
}

}  // namespace

LRESULT onClose(HWND window, WPARAM wParam, LPARAM lParam) {
    if (pendingClose || closeWaitsForReset)
        return 0;
    if (!askProductLoop(true, [](qm::QMLoopDelegate& delegate) { return delegate.canClose(); }))
        return 0;
    if (acceptClose() == CloseTiming::AfterReset) {
        // Remembered, not refused: an owner asks once and a user clicks once.
        debugLog(kLogInfo, "Close accepted: it follows when the product has restarted");
        closeWaitsForReset = true;
        return 0;
    }
    return closeNow(window, wParam, lParam);
}

void onCloseAfterReset(HWND window) {
    if (!closeWaitsForReset) {
        debugLog(kLogWarning, "Ignored a close after a reset that no close waited for");
        return;
    }
    closeWaitsForReset = false;
    closeNow(window, 0, 0);
}

void onCloseWorkerDone(HWND window, LPARAM lParam) {
    CloseRequest* request = reinterpret_cast<CloseRequest*>(lParam);
    if (!request || request != pendingClose) {
        debugLog(kLogWarning, "Ignored a close confirmation that this process did not ask for (%p)",
                 reinterpret_cast<void*>(lParam));
        return;
    }
    pendingClose = nullptr;
    const bool stopped = request->productStopped;
    delete request;  // closes the worker's thread handle
    if (stopped)
        DestroyWindow(window);
}
