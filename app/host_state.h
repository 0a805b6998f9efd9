#pragma once
// The host's process-wide state that several parts share. Single machine
// words, read and written from several threads without a lock.
#include <windows.h>

#include <atomic>

// The main window; set by the first createWindow and never cleared, so it
// keeps its value after the window is destroyed.
extern std::atomic<HWND> mainWindow;
// The owner program's window; from the launch parameters or setOwner.
extern std::atomic<HWND> ownerWindow;
// The thread of the main loop; a failed reset ends the loop from elsewhere.
extern std::atomic<DWORD> mainThreadId;
