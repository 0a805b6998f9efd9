#include "please_wait_session.h"

#include <new>

#include "debug_log.h"

PleaseWaitSession::PleaseWaitSession(ThreadStarter start) {
    try {
        handshake_ = std::make_shared<PleaseWaitHandshake>();
    } catch (const std::bad_alloc&) {
        return;  // no memory for the hand-shake: load without a dialog
    }
    if (!handshake_->usable())
        return;  // nothing could tell the loader of the start: load without a dialog
    thread_ = start(handshake_);
    if (!thread_)
        return;
    // The thread's end counts as well: a thread that ended without reporting
    // its start never will.
    const HANDLE startedOrGone[] = {handshake_->startedEvent(), thread_.get()};
    WaitForMultipleObjects(2, startedOrGone, FALSE, INFINITE);
}

PleaseWaitSession::~PleaseWaitSession() {
    end();
}

void PleaseWaitSession::end() {
    if (!thread_)
        return;
    handshake_->requestStop();
    const DWORD result = WaitForSingleObject(thread_.get(), kPleaseWaitStopTimeoutMs);
    if (result != WAIT_OBJECT_0)
        debugLog(kLogWarning, "PleaseWaitDialog still running (r=%d)", static_cast<int>(result));
    thread_.reset();
}
