#pragma once
// The host's private messages to its main window.
#include <windows.h>

// WM_USER with one of these codes in wParam.
constexpr UINT kPrivateMessage = WM_USER;
constexpr WPARAM kUpdateCheckDone = 0x1234;  // lParam: the number of the check it completes
constexpr WPARAM kCloseWorkerDone = 0x4321;  // lParam: the CloseRequest
constexpr WPARAM kCloseAfterReset = 0x4322;  // lParam 0; from the reset worker

constexpr UINT kHideCursorMessage = WM_APP + 1;  // wParam 0, lParam 0
constexpr UINT kShowCursorMessage = WM_APP + 2;  // wParam: the delegate's saved POINT
