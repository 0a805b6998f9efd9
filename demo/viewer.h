#pragma once
// One run of the demo viewer: the scene, the camera, the input that moves
// it, and the render thread that draws it into the host's window.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "camera.h"
#include "overlay.h"
#include "qm/launch_parameters.h"
#include "qm/loop_delegate.h"
#include "scenes.h"

namespace qo {

// What a click on an object tells the owner window: 36 bytes.
struct PickRecord {
    char magic[4];     // "QOPK"
    int32_t scene;
    int32_t object;    // index within the scene
    int32_t x, y;      // client coordinates of the click
    char name[16];     // NUL-padded object name
};
static_assert(sizeof(PickRecord) == 36, "the owner expects 36 bytes");

class Viewer {
public:
    // Reads what it needs from the record; keeps no pointer into it.
    explicit Viewer(const qm::LaunchParameters& parameters);
    ~Viewer();

    void start(qm::QMLoopDelegate* delegate, HWND window, int width, int height);
    void stop();  // joins the render thread, then tells the host
    void resize(int width, int height);
    void windowEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void textInput(const char* utf8);
    // New parameters from the owner: the host restarts the product with them.
    void resetTo(const char* text);

    void setFocus(bool focused);
    bool focused() const { return focused_; }
    void dropCaches();
    const char* sceneName() const { return scene_.name; }

private:
    void renderLoop();
    void onKey(WPARAM key, bool repeated);
    void onButton(bool down, int x, int y);
    void onMove(int x, int y);

    Scene scene_;
    Vec3 scale_{1, 1, 1};
    bool fullScaleOnly_ = false;  // "-qo_scale full": no smaller back buffer, however slow
    qm::OwnerNotifyFn ownerNotify_ = nullptr;
    qm::QMLoopDelegate* delegate_ = nullptr;
    HWND window_ = nullptr;

    std::mutex mutex_;  // guards what follows up to the atomics
    Camera camera_;
    OverlayState overlay_;
    int width_ = 0, height_ = 0;
    bool pickPending_ = false;
    POINT pickAt_{};
    bool dropRequested_ = false;

    // Input state, main thread only.
    bool buttonDown_ = false, fullScreen_ = false;
    std::atomic<bool> dragging_{false};  // also read by stop()
    POINT lastMouse_{};

    std::atomic<bool> focused_{true};
    std::atomic<bool> stopping_{false};
    std::thread renderThread_;
};

}  // namespace qo
