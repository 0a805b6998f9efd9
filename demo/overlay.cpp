#include "overlay.h"

#include <vector>

#include "text_encoding.h"

namespace qo {
namespace {

struct Texts {
    const char* scene;
    const char* orbit;
    const char* walk;
    const char* keys;
    const char* typed;
    const char* picked;
    const char* paused;
};

const Texts kEnglish = {"Scene", "Orbit", "Walk",
                        "Drag: turn  Wheel: zoom  0-9: scene  F11: full screen  Esc: quit",
                        "Typed", "Clicked", "Paused"};
const Texts kSpanish = {"Escena", "Órbita", "Paseo",
                        "Arrastrar: girar  Rueda: zoom  0-9: escena  F11: pantalla completa  Esc: salir",
                        "Texto", "Pulsado", "En pausa"};

}  // namespace

void drawOverlay(HDC dc, const RECT& area, const OverlayState& state) {
    const Texts& t = state.language == "es" ? kSpanish : kEnglish;
    std::vector<std::string> lines;
    if (!state.title.empty())
        lines.push_back(state.title);
    lines.push_back(std::string(t.scene) + ": " + state.sceneName + "  (" + (state.walking ? t.walk : t.orbit) +
                    ")");
    if (!state.token.empty())
        lines.push_back("token: " + state.token);
    if (!state.picked.empty())
        lines.push_back(std::string(t.picked) + ": " + state.picked);
    if (!state.typed.empty())
        lines.push_back(std::string(t.typed) + ": " + state.typed);
    if (state.paused)
        lines.push_back(t.paused);

    SetBkMode(dc, TRANSPARENT);
    const int lineHeight = 18;
    int y = static_cast<int>(area.top) + 8;
    for (const std::string& line : lines) {
        const std::wstring text = widen(line, CP_UTF8);
        SetTextColor(dc, RGB(0, 0, 0));
        TextOutW(dc, area.left + 11, y + 1, text.c_str(), static_cast<int>(text.size()));
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutW(dc, area.left + 10, y, text.c_str(), static_cast<int>(text.size()));
        y += lineHeight;
    }
    const std::wstring keys = widen(t.keys, CP_UTF8);
    SetTextColor(dc, RGB(255, 255, 230));
    TextOutW(dc, area.left + 10, area.bottom - lineHeight - 6, keys.c_str(), static_cast<int>(keys.size()));
}

}  // namespace qo
