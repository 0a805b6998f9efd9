#pragma once
// What the host does when the update check it waits for is done.

class QMStandAlone;

// Evaluates the update check numbered `check` (the message's lParam): ends
// the run (abort, download page, updater) or starts the product. Main thread.
void onUpdateCheckDone(QMStandAlone& application, unsigned check);
