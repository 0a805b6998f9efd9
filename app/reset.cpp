#include <windows.h>

#include <memory>
#include <string>

#include "debug_log.h"
#include "entry_points.h"
#include "host_state.h"
#include "command_line.h"
#include "launch_platform.h"
#include "launch_record.h"
#include "loop_delegate_win32.h"
#include "message_catalogue.h"
#include "product_library_loader.h"
#include "qm_standalone.h"
#include "reset_request.h"
#include "unique_handle.h"

namespace {

struct ResetRequest {
    QMStandAlone* application;
    std::string text;
};

std::mutex resetMutex;                      // guards the three below
std::unique_ptr<ResetRequest> waitingReset; // the latest request not yet started
bool resetWorkerRunning = false;
bool resetsClosed = false;                  // the process is ending

DWORD WINAPI resetWorker(void*) {
    for (;;) {
        std::unique_ptr<ResetRequest> request;
        {
            std::lock_guard<std::mutex> lock(resetMutex);
            request = std::move(waitingReset);
            if (!request || resetsClosed) {
                resetWorkerRunning = false;
                return 0;
            }
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
        if (resetsClosed)
            return;
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

bool resetInProgress() {
    std::lock_guard<std::mutex> lock(resetMutex);
    return resetWorkerRunning;
}

void finishResets() {
    {
        std::lock_guard<std::mutex> lock(resetMutex);
        resetsClosed = true;
        waitingReset.reset();
    }
    while (resetInProgress()) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void QMStandAlone::_reset(const char* text) {
    qm::LaunchParameters next = qm::carryOver(params);
    qm::parseLaunchText(next, text, qm::windowsLaunchPlatform());

    std::string description = "current:";
    qm::describe(params, description);
    description += " new:";
    qm::describe(next, description);
    debugLog(kLogInfo, "QMStandAlone::_reset:incompatible parameters: %s", description.c_str());

    applyParameters(next);
    const bool cloud = params.isCloudInstance();
    debugLog(kLogDebug, "Reset: %s", text);

    bool restarted;
    {
        std::lock_guard<std::mutex> lifecycle(productLifecycleLock());
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
    if (!cloud) {
        const char* language = params.language.c_str();
        MessageBoxA(mainWindow.load(), localizedText(language, kMsgRestartFailed),
                    localizedText(language, kMsgCaptionError), MB_SYSTEMMODAL | MB_ICONERROR);
    }
    // The main thread's loop ends with exit code 0.
    PostThreadMessageW(mainThreadId.load(), WM_QUIT, 0, 0);
}
