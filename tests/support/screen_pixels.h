#pragma once
// Pixels of a device context as 0x00RRGGBB values, rows top-down.
#include <windows.h>

#include <cstdint>
#include <vector>

std::vector<uint32_t> capturePixels(HDC source, int x, int y, int width, int height);
