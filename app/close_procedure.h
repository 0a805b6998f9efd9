#pragma once
#include <windows.h>

// WM_CLOSE: asks the product, then stops it on a worker thread while the
// main thread goes on dispatching; the window is destroyed once qmStop has
// returned. Returns the window procedure's answer.
LRESULT onClose(HWND window, WPARAM wParam, LPARAM lParam);

// WM_USER/kCloseWorkerDone from the close worker.
void onCloseWorkerDone(HWND window, LPARAM request);
