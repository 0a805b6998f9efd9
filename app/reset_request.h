#pragma once
// Resets with new parameters. Resets never overlap: a request that arrives
// while one runs waits, and a newer one replaces a waiting one (the latest
// parameters win). The worker runs the waiting requests one after another.
#include <mutex>

class QMStandAlone;

// Starts a reset of `application` with `text` (null counts as empty) on the
// reset worker; runs it on the calling thread when no thread can be made.
void startReset(QMStandAlone* application, const char* text);

// Whether a reset runs or waits.
bool resetInProgress();

// Lets a running reset finish and drops waiting ones, dispatching the main
// thread's messages meanwhile (the reset's boxes are owned by the window).
void finishResets();

// Held while the product is stopped, unloaded and started again, so that a
// close and a reset never stop the product at the same time.
std::mutex& productLifecycleLock();
