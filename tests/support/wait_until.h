#pragma once
#include <windows.h>

// Asks `done` every `pollMs` until it is true or `timeoutMs` have passed;
// for what another process does, which no message announces.
template <typename Condition>
bool waitUntil(Condition done, DWORD timeoutMs, DWORD pollMs = 250) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(pollMs);
    }
    return true;
}
