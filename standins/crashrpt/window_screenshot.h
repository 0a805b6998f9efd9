#pragma once
// A picture of the process's main window, taken from the screen so that the
// crashed thread that owns the window is not asked to paint.
#include <windows.h>

#include <string>

// The visible top-level window without owner of this process, the foreground
// one first; null when there is none.
HWND findMainWindow();

// Writes what the screen shows of `window` as a 24-bit bottom-up BMP file.
// Returns false with `error` set when there is nothing to take or to write.
bool writeWindowScreenshot(HWND window, const std::string& path, std::string& error);
