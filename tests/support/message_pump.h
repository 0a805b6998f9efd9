#pragma once
#include <windows.h>

// Dispatches the calling thread's messages for `ms` milliseconds, so that
// posted and asynchronous window changes arrive.
inline void pumpMessagesFor(DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    MSG message;
    do {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount64() < deadline);
}

// Dispatches messages until `done` is true or `ms` have passed.
template <typename Condition>
bool pumpMessagesUntil(Condition done, DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() >= deadline)
            return false;
        pumpMessagesFor(10);
    }
    return true;
}
