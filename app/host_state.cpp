#include "host_state.h"

std::atomic<HWND> mainWindow{nullptr};
std::atomic<HWND> ownerWindow{nullptr};
std::atomic<DWORD> mainThreadId{0};
