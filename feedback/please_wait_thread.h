#pragma once
// The please-wait dialog's own thread: it shows the dialog in the language of
// the user's locale, publishes it, pumps its messages and tears it down when
// the loader asks.
#include <windows.h>

#include <atomic>
#include <memory>

#include "please_wait_dialog.h"
#include "unique_handle.h"

// How often the loader looks for the dialog's start, and how long the idle
// dialog thread sleeps between two looks for its stop request.
constexpr DWORD kPleaseWaitPollMs = 100;

// The hand-shake of one showing. Loader and dialog thread each hold a share,
// so the flags outlive whichever side lets go first.
struct PleaseWaitHandshake {
    std::atomic<bool> pleaseWaitStarted{false};  // set by the dialog thread
    std::atomic<bool> pleaseWaitStop{false};     // set by the loader
};

// The dialog that is up, or null. Its thread publishes it before it reports
// the start and withdraws it before destroying it; it stays valid until its
// loader sets pleaseWaitStop.
extern std::atomic<PleaseWaitDialog*> activeWaitDialog;

// Starts the dialog thread with a share of the hand-shake. Null when the
// thread could not be created.
UniqueKernelHandle startPleaseWaitThread(std::shared_ptr<PleaseWaitHandshake> handshake);
