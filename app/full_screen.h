#pragma once
#include <windows.h>

// Window styles of the main window's two forms.
constexpr DWORD kFramedWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
constexpr DWORD kFullScreenWindowStyle = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

// Where a framed window was before it last went full screen.
struct FramedPlace {
    RECT savedWindowRect = {};
    bool savedWindowRectValid = false;
};

// Takes the window to a borderless window over its whole monitor (on) or
// back to its frame where it was (off). `width` and `height` receive the new
// outer size when the form changes and are left alone when it had it already.
// The main window's place is remembered process-wide.
void switchFullScreen(HWND window, bool on, unsigned int& width, unsigned int& height);
// The same, remembering the place in `place`.
void switchFullScreen(FramedPlace& place, HWND window, bool on, unsigned int& width, unsigned int& height);
