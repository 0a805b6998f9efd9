#pragma once
// The end of the update check and the start of the product.
#include <windows.h>

#include "qm/product_library.h"

class QMStandAlone;

// Starts a new update check: returns the function that posts its "update
// check done" message to the main window (any thread; handed to the product
// library's qmUpdateSystem, or called by the host itself). Only the message
// of the newest check is acted on, once, so a stray, repeated or earlier
// run's completion cannot start the product.
QMUpdateCheckDoneFn expectUpdateCheckDone();

// Evaluates the update check numbered `check` (the message's lParam) and
// ends the run or starts the product. Main thread.
void onUpdateCheckDone(QMStandAlone& application, unsigned check);

// Binds the thirteen entry points of `module`, a fallback for each missing
// one; false when a required one is missing (each told in its own box).
bool bindEntryPoints(HMODULE module);

// The product version of the running executable; all 0 without one.
qm::HostVersion readHostVersion();

// "Application can't be initialized." box for a missing entry point.
void showEntryPointMissing(const char* name);
