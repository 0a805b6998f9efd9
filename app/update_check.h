#pragma once
// Which update check the host waits for, and the completion functions that
// tell the main window a check is done.
#include "qm/product_library.h"

// Starts a new update check: returns the function that posts its "update
// check done" message to the main window (any thread; handed to the product
// library's qmUpdateSystem, or called by the host itself). Only the message
// of the newest check is acted on, once, so a stray, repeated or earlier
// run's completion cannot start the product.
QMUpdateCheckDoneFn expectUpdateCheckDone();

// Whether the message of check number `check` (its lParam) completes the
// check the host waits for; it then waits for none. A message that does not
// is logged at Warning level. Main thread.
bool takeUpdateCheckDone(unsigned check);
