#pragma once
// The please-wait dialog's own thread: it shows the dialog in the language of
// the user's locale, publishes it, pumps its messages and tears it down when
// the loader asks.
#include <windows.h>

#include <atomic>
#include <memory>

#include "please_wait_dialog.h"
#include "unique_handle.h"

// The hand-shake of one showing. Loader and dialog thread each hold a share,
// so the flags and events outlive whichever side lets go first. Each flag is
// set before its event, so a side that wakes on the event finds the flag set;
// readers of the flags alone see what they always saw.
class PleaseWaitHandshake {
public:
    PleaseWaitHandshake();
    PleaseWaitHandshake(const PleaseWaitHandshake&) = delete;
    PleaseWaitHandshake& operator=(const PleaseWaitHandshake&) = delete;

    // False when an event could not be made: nothing could wake a waiter.
    bool usable() const { return started_ && stop_; }

    void markStarted();     // dialog thread: the dialog is up (or will never be)
    void requestStop();     // loader: the dialog is to go
    HANDLE startedEvent() const { return started_.get(); }
    HANDLE stopEvent() const { return stop_.get(); }

    std::atomic<bool> pleaseWaitStarted{false};  // set by the dialog thread
    std::atomic<bool> pleaseWaitStop{false};     // set by the loader

private:
    UniqueKernelHandle started_;  // manual reset: stays set for every later look
    UniqueKernelHandle stop_;
};

// The dialog that is up, or null. Its thread publishes it before it reports
// the start and withdraws it before destroying it; it stays valid until its
// loader sets pleaseWaitStop.
extern std::atomic<PleaseWaitDialog*> activeWaitDialog;

// Starts the dialog thread with a share of the hand-shake. Null when the
// thread could not be created.
UniqueKernelHandle startPleaseWaitThread(std::shared_ptr<PleaseWaitHandshake> handshake);
