#pragma once
#include <windows.h>

// WM_CLOSE: asks the product, then stops it on a worker thread while the
// main thread goes on dispatching; the window is destroyed once qmStop has
// returned. A close accepted while a reset runs waits for the reset's end.
// Returns the window procedure's answer.
LRESULT onClose(HWND window, WPARAM wParam, LPARAM lParam);

// WM_USER/kCloseAfterReset from the reset worker: the close accepted while
// a reset ran goes ahead now.
void onCloseAfterReset(HWND window);

// WM_USER/kCloseWorkerDone from the close worker.
void onCloseWorkerDone(HWND window, LPARAM request);
