#include "please_wait_session.h"

#include <new>

#include "debug_log.h"

PleaseWaitSession::PleaseWaitSession(ThreadStarter start) {
    try {
        handshake_ = std::make_shared<PleaseWaitHandshake>();
    } catch (const std::bad_alloc&) {
        return;  // no memory for the hand-shake: load without a dialog
    }
    thread_ = start(handshake_);
    if (!thread_)
        return;
    while (!handshake_->pleaseWaitStarted.load())
        Sleep(kPleaseWaitPollMs);
}

PleaseWaitSession::~PleaseWaitSession() {
    end();
}

void PleaseWaitSession::end() {
    if (!thread_)
        return;
    handshake_->pleaseWaitStop.store(true);
    const DWORD result = WaitForSingleObject(thread_.get(), kPleaseWaitStopTimeoutMs);
    if (result != WAIT_OBJECT_0)
        debugLog(kLogWarning, "PleaseWaitDialog still running (r=%d)", static_cast<int>(result));
    thread_.reset();
}
