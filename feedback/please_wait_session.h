#pragma once
// One showing of the please-wait dialog around a long load: the constructor
// starts the dialog thread and returns the moment the dialog is up, end()
// asks it to go and waits a bounded time for its thread.
#include <memory>

#include "please_wait_thread.h"
#include "unique_handle.h"

constexpr DWORD kPleaseWaitStopTimeoutMs = 2000;

class PleaseWaitSession {
public:
    using ThreadStarter = UniqueKernelHandle (*)(std::shared_ptr<PleaseWaitHandshake>);

    // When the thread or the hand-shake cannot be made there is no dialog, and
    // no wait.
    explicit PleaseWaitSession(ThreadStarter start = &startPleaseWaitThread);
    ~PleaseWaitSession();
    PleaseWaitSession(const PleaseWaitSession&) = delete;
    PleaseWaitSession& operator=(const PleaseWaitSession&) = delete;

    bool threadStarted() const { return static_cast<bool>(thread_); }

    // Stops the dialog. A thread still running after the time-out is logged
    // and left to end on its own; it keeps its share of the hand-shake.
    void end();

private:
    std::shared_ptr<PleaseWaitHandshake> handshake_;
    UniqueKernelHandle thread_;
};
