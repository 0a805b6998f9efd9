#pragma once
#include <windows.h>

// The main window's procedure: forwards input to the product, erases the
// background until it runs, closes through a worker, receives the owner's
// commands and the host's private messages.
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
