#pragma once
// What crash_probe and its tests agree on.
#include <windows.h>

constexpr COLORREF kProbeColor = RGB(0x20, 0x90, 0x50);
constexpr int kProbeWindowWidth = 360;
constexpr int kProbeWindowHeight = 240;
// Where, from the window's top left corner, the screenshot must show kProbeColor.
constexpr int kProbeColorX = kProbeWindowWidth / 2;
constexpr int kProbeColorY = kProbeWindowHeight * 2 / 3;
// Exit code when the probe could not set itself up.
constexpr int kProbeSetupFailed = 99;
// The exception the probe raises in its "raise" mode.
constexpr DWORD kProbeExceptionCode = 0xE0DEAD01;
