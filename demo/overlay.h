#pragma once
// The texts drawn over the scene, in English or Spanish.
#include <windows.h>

#include <string>

namespace qo {

struct OverlayState {
    std::string language;  // "es" for Spanish, anything else English
    std::string title;
    std::string token;
    std::string sceneName;
    std::string typed;     // UTF-8
    std::string picked;    // the object last clicked
    bool walking = false;
    bool paused = false;
};

// Draws the overlay into `dc` (any device context) within `area`.
void drawOverlay(HDC dc, const RECT& area, const OverlayState& state);

}  // namespace qo
