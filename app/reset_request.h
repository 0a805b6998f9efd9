#pragma once
// Resets with new parameters. Resets never overlap: a request that arrives
// while one runs waits, and a newer one replaces a waiting one (the latest
// parameters win). The worker runs the waiting requests one after another.
// Once a close is accepted, a reset fails or the process ends, no reset
// starts any more.
#include <mutex>

class QMStandAlone;

// Starts a reset of `application` with `text` (null counts as empty) on the
// reset worker; runs it on the calling thread when no thread can be made.
// Refused, with a Warning line, once resets are closed.
void startReset(QMStandAlone* application, const char* text);

enum class CloseTiming {
    Now,         // no reset runs: the close goes ahead at once
    AfterReset,  // a reset runs: its worker posts kCloseAfterReset when done
};

// A close was accepted (main thread): resets close and a waiting request is
// dropped. Says whether the close must wait for the running reset.
CloseTiming acceptClose();

// Lets a running reset finish and drops waiting ones, dispatching the main
// thread's messages meanwhile (the reset's boxes are owned by the window).
void finishResets();

// Held while the product is stopped, unloaded and started again, and while
// a reset replaces the launch parameters, so that a close, a reset and the
// product start never touch the product or its parameters at once.
std::mutex& productLifecycleLock();
