#include "viewer.h"

#include <windowsx.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "frame_target.h"
#include "rasteriser.h"
#include "render_scale.h"
#include "text_encoding.h"

namespace qo {
namespace {

constexpr int kWalkVisitMode = 2;
constexpr DWORD kPausedPollMs = 100;
// Even a frame that used its whole budget leaves the processor a moment to
// the window's own thread.
constexpr DWORD kMinRestMs = 5;
constexpr int kDragThreshold = 3;  // pixels before a press counts as a drag
constexpr LPARAM kKeyWasDown = 1 << 30;  // auto-repeat: one reset per press
constexpr float kSpinPerSecond = 0.8f;
constexpr uint32_t kSkyColour = 0x6080B0;

std::string ansiToUtf8(const std::string& text) {
    return narrow(widen(text, CP_ACP), CP_UTF8);
}

// One debug line each time the drawing size changes: what a slow machine
// settled on shows in any debug output viewer.
void logRenderSize(int width, int height, const BackBufferSize& back) {
    const std::string line = "qo|render client=" + std::to_string(width) + "x" + std::to_string(height) +
                             " back=" + std::to_string(back.width) + "x" + std::to_string(back.height) +
                             " samples=" + std::to_string(back.samplesPerAxis) + "x" +
                             std::to_string(back.samplesPerAxis) + "\n";
    OutputDebugStringA(line.c_str());
}

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

Viewer::Viewer(const qm::LaunchParameters& p) : scene_(buildScene(p.scene)) {
    const qm::PositionTool& tool = p.positionTool;
    const bool walk = p.visitMode == kWalkVisitMode;
    ownerNotify_ = tool.ownerNotify;
    const std::string* scale = p.findExtra("qo_scale");
    fullScaleOnly_ = scale && *scale == "full";
    if (tool.present) {
        scale_ = {tool.scale[0], tool.scale[1], tool.scale[2]};
        camera_.place({tool.position[0], tool.position[1], tool.position[2]}, tool.rotation[1], tool.rotation[0],
                      overviewDistance(scene_.radius), walk);
    } else if (walk) {
        camera_.place(scene_.walkStart, 0, -10, 1, true);
    } else {
        camera_ = overviewCamera(scene_.radius);
    }
    overlay_.language = p.language;
    // Launch parameters arrive in the ANSI code page; the overlay holds UTF-8.
    overlay_.title = ansiToUtf8(p.title);
    overlay_.token = ansiToUtf8(p.token);
    overlay_.sceneName = scene_.name;
    overlay_.walking = walk;
}

Viewer::~Viewer() {
    stopping_ = true;
    if (renderThread_.joinable())
        renderThread_.join();
}

void Viewer::start(qm::QMLoopDelegate* delegate, HWND window, int width, int height) {
    delegate_ = delegate;
    window_ = window;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        width_ = width;
        height_ = height;
    }
    renderThread_ = std::thread([this] { renderLoop(); });
    delegate_->productReady();
}

void Viewer::stop() {
    stopping_ = true;
    if (renderThread_.joinable())
        renderThread_.join();
    if (dragging_ && delegate_)
        delegate_->showCursor();
    if (delegate_)
        delegate_->productStopped();
}

void Viewer::resize(int width, int height) {
    std::lock_guard<std::mutex> lock(mutex_);
    width_ = width;
    height_ = height;
}

void Viewer::setFocus(bool focused) {
    focused_ = focused;
    std::lock_guard<std::mutex> lock(mutex_);
    overlay_.paused = !focused;
}

void Viewer::dropCaches() {
    std::lock_guard<std::mutex> lock(mutex_);
    dropRequested_ = true;
}

void Viewer::textInput(const char* utf8) {
    if (!utf8)
        return;
    const size_t length = strnlen(utf8, 8);
    std::lock_guard<std::mutex> lock(mutex_);
    if (length == 1 && utf8[0] == '\b') {
        // Back over one character, continuation bytes included.
        while (!overlay_.typed.empty() && (static_cast<unsigned char>(overlay_.typed.back()) & 0xC0) == 0x80)
            overlay_.typed.pop_back();
        if (!overlay_.typed.empty())
            overlay_.typed.pop_back();
        return;
    }
    if (length == 0 || static_cast<unsigned char>(utf8[0]) < ' ')
        return;
    overlay_.typed.append(utf8, length);
    constexpr size_t kMaxTyped = 60;
    if (overlay_.typed.size() > kMaxTyped) {
        // Cut at a character boundary, not inside a UTF-8 sequence.
        size_t cut = overlay_.typed.size() - kMaxTyped;
        while (cut < overlay_.typed.size() && (static_cast<unsigned char>(overlay_.typed[cut]) & 0xC0) == 0x80)
            ++cut;
        overlay_.typed.erase(0, cut);
    }
}

void Viewer::windowEvent(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!delegate_)
        return;
    switch (message) {
    case WM_KEYDOWN: onKey(wParam, (lParam & kKeyWasDown) != 0); break;
    case WM_LBUTTONDOWN: onButton(true, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_LBUTTONUP: onButton(false, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_MOUSEMOVE: onMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); break;
    case WM_MOUSEWHEEL: {
        std::lock_guard<std::mutex> lock(mutex_);
        camera_.zoom(static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA);
        break;
    }
    default: break;
    }
}

void Viewer::resetTo(const char* text) {
    if (delegate_ && !stopping_)
        delegate_->reset(text);
}

void Viewer::onKey(WPARAM key, bool repeated) {
    if (stopping_ || repeated)
        return;
    // Delegate calls may come straight back (a resize, a stop): no lock here.
    if (key == VK_ESCAPE) {
        delegate_->quit(0, 0);
    } else if (key == VK_F11) {
        fullScreen_ = !fullScreen_;
        delegate_->setFullScreen(fullScreen_);
    } else if (key >= '0' && key <= '9') {
        const std::string text = "-scene " + std::to_string(static_cast<int>(key - '0'));
        delegate_->reset(text.c_str());
    }
}

void Viewer::onButton(bool down, int x, int y) {
    if (down) {
        buttonDown_ = true;
        dragging_ = false;
        lastMouse_ = {x, y};
        SetCapture(window_);
        return;
    }
    if (!buttonDown_)
        return;
    buttonDown_ = false;
    ReleaseCapture();
    if (dragging_) {
        dragging_ = false;
        delegate_->showCursor();
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    pickPending_ = true;
    pickAt_ = {x, y};
}

void Viewer::onMove(int x, int y) {
    if (!buttonDown_)
        return;
    const int dx = x - lastMouse_.x, dy = y - lastMouse_.y;
    if (!dragging_) {
        if (std::abs(dx) < kDragThreshold && std::abs(dy) < kDragThreshold)
            return;
        dragging_ = true;
        delegate_->hideCursor();
    }
    lastMouse_ = {x, y};
    std::lock_guard<std::mutex> lock(mutex_);
    camera_.turn(static_cast<float>(dx), static_cast<float>(-dy));
}

void Viewer::renderLoop() {
    try {
        FrameTarget target;
        Rasteriser rasteriser;
        ScaleController scaleController;
        BackBufferSize logged;
        int loggedWidth = 0, loggedHeight = 0;
        float spin = 0;
        DWORD lastTick = GetTickCount();
        bool pausedFrameShown = false;
        while (!stopping_) {
            const DWORD now = GetTickCount();
            const float seconds = static_cast<float>(now - lastTick) / 1000.0f;
            lastTick = now;
            if (!focused_ && pausedFrameShown) {
                Sleep(kPausedPollMs);
                continue;
            }
            Camera camera;
            OverlayState overlay;
            int width, height;
            bool pick, drop;
            POINT pickAt;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                camera = camera_;
                overlay = overlay_;
                width = width_;
                height = height_;
                pick = std::exchange(pickPending_, false);
                pickAt = pickAt_;
                drop = std::exchange(dropRequested_, false);
            }
            const auto frameStart = std::chrono::steady_clock::now();
            if (drop) {
                target.release();
                rasteriser.dropBuffers();
            }
            scaleController.fitClient(width, height);
            const BackBufferSize back =
                fullScaleOnly_ ? backBufferSize(width, height, kFullScale) : scaleController.backBuffer();
            if (!target.fit(window_, width, height, back.width, back.height)) {
                Sleep(kPausedPollMs);
                continue;
            }
            if (back != logged || width != loggedWidth || height != loggedHeight) {
                logRenderSize(width, height, back);
                logged = back;
                loggedWidth = width;
                loggedHeight = height;
            }
            rasteriser.bind(target.pixels(), target.backWidth(), target.backHeight(), back.samplesPerAxis);
            if (scene_.spins && focused_)
                spin += kSpinPerSecond * seconds;
            rasteriser.clear(kSkyColour);
            // The click in the back buffer's pixels.
            const Pixel pickPixel = {pickAt.x * target.backWidth() / target.width(),
                                     pickAt.y * target.backHeight() / target.height()};
            const int object = rasteriser.draw(scene_, camera, scale_, spin, pick ? &pickPixel : nullptr);
            rasteriser.resolve();
            const double drawMs = millisecondsSince(frameStart);
            if (pick && object != kNoObject) {
                const std::string& name = scene_.objectNames[static_cast<size_t>(object)];
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    overlay_.picked = overlay.picked = name;
                }
                PickRecord record = {{'Q', 'O', 'P', 'K'}, scene_.number, object, pickAt.x, pickAt.y, {}};
                std::strncpy(record.name, name.c_str(), sizeof record.name - 1);
                if (ownerNotify_)
                    ownerNotify_(&record);
            }
            target.scaleUp();
            const RECT area = {0, 0, target.width(), target.height()};
            drawOverlay(target.composeDC(), area, overlay);
            target.present(window_);
            pausedFrameShown = !focused_;
            const double frameMs = millisecondsSince(frameStart);
            if (!fullScaleOnly_)
                scaleController.addFrame({drawMs, frameMs - drawMs});
            // Frames come at the budget's pace; a slower one is followed at once.
            Sleep(std::max(kMinRestMs, static_cast<DWORD>(std::max(0.0, kFrameBudgetMs - frameMs))));
        }
        target.release();
    } catch (...) {
        // Nothing more is drawn; the host still stops the product normally.
    }
}

}  // namespace qo
