#pragma once
// The end of the update check and the start of the product.
#include <windows.h>

#include "qm/product_library.h"

class QMStandAlone;

// Posts "update check done" to the main window; any thread. Handed to the
// product library's qmUpdateSystem.
bool __cdecl postUpdateCheckDone();

// Marks this run's update check as pending: exactly one "update check done"
// message is acted on after it, so a stray or repeated one cannot start the
// product twice.
void expectUpdateCheckDone();

// Evaluates the update check and ends the run or starts the product. Main thread.
void onUpdateCheckDone(QMStandAlone& application);

// Binds the thirteen entry points of `module`, a fallback for each missing
// one; false when a required one is missing (each told in its own box).
bool bindEntryPoints(HMODULE module);

// The product version of the running executable; all 0 without one.
qm::HostVersion readHostVersion();

// "Application can't be initialized." box for a missing entry point.
void showEntryPointMissing(const char* name);
