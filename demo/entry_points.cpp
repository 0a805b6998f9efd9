// The thirteen functions the host looks up in qo.dll.
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

#include "qm/loop_delegate.h"
#include "qm/product_library.h"
#include "update_check.h"
#include "viewer.h"

#define QO_EXPORT extern "C" __declspec(dllexport)

namespace {

std::unique_ptr<qo::Viewer> viewer;
qo::UpdateAnswer updateAnswer;
std::mutex updateMutex;

// No exception may reach the host: `work`'s result, or `failed` if it throws.
template <typename Result, typename Work>
Result guarded(Result failed, Work work) noexcept {
    try {
        return work();
    } catch (...) {
        return failed;
    }
}

template <typename Work>
void guarded(Work work) noexcept {
    guarded(0, [&] { work(); return 0; });
}

// The host calls the loop only between qmStart and productStopped, while the
// viewer exists.
class DemoLoop : public qm::ProductLoop {
public:
    void onFocusLost() override { guarded([] { viewer->setFocus(false); }); }
    void onFocusGained() override { guarded([] { viewer->setFocus(true); }); }
    void onRestored() override { guarded([] { viewer->setFocus(true); }); }
    void onMinimized() override { guarded([] { viewer->setFocus(false); }); }
    void onLowMemory() override { guarded([] { viewer->dropCaches(); }); }
    bool canClose() override { return true; }
    bool hasFocus() override { return viewer->focused(); }
    int onText(const char*, int) override { return 0; }
    int onRecord(const void*) override { return 0; }
};

DemoLoop demoLoop;

}  // namespace

QO_EXPORT bool __cdecl qmUpdateSystem(qm::LaunchParameters* parameters, HWND, QMUpdateCheckDoneFn done, void*) {
    const bool checked = guarded(false, [&] {
        qo::UpdateAnswer answer = qo::checkForUpdate(*parameters);
        std::lock_guard<std::mutex> lock(updateMutex);
        updateAnswer = std::move(answer);
        return true;
    });
    // Without an answer the host goes on at once; with one, done comes once.
    if (checked)
        done();
    return checked;
}

QO_EXPORT bool __cdecl qmUpdateSystemGetData(qm::UpdateData* data) {
    return guarded(false, [&] {
        std::lock_guard<std::mutex> lock(updateMutex);
        data->flags = updateAnswer.flags;
        data->url = updateAnswer.url;
        data->src = updateAnswer.src;
        data->productName = updateAnswer.productName;
        return true;
    });
}

QO_EXPORT void __cdecl qmUpdateSystemRelease() {
    guarded([] {
        std::lock_guard<std::mutex> lock(updateMutex);
        updateAnswer = {};
    });
}

QO_EXPORT void __cdecl qmPreInit() {}

QO_EXPORT int __cdecl qmInit(qm::LaunchParameters* parameters, const qm::HostVersion*) {
    return guarded(1, [&] {
        viewer = std::make_unique<qo::Viewer>(*parameters);
        const std::string line = std::string("qo|qmInit scene=") + viewer->sceneName() + "\n";
        OutputDebugStringA(line.c_str());
        return 0;
    });
}

QO_EXPORT int __cdecl qmIsFullScreen() {
    return 0;
}

QO_EXPORT int __cdecl qmStart(qm::QMLoopDelegate* delegate, int width, int height, HWND window, HWND, int) {
    if (!viewer)
        return 1;
    return guarded(1, [&] {
        delegate->loop = &demoLoop;
        viewer->start(delegate, window, width, height);
        return 0;
    });
}

QO_EXPORT void __cdecl qmStop() {
    // The viewer itself stays: the main thread may still be inside one of
    // its calls. It goes with the library.
    guarded([] {
        if (viewer)
            viewer->stop();
    });
}

QO_EXPORT void __cdecl qmResize(int width, int height, int) {
    guarded([&] {
        if (viewer)
            viewer->resize(width, height);
    });
}

QO_EXPORT void __cdecl qmTextInput(const char* utf8) {
    guarded([&] {
        if (viewer)
            viewer->textInput(utf8);
    });
}

QO_EXPORT void __cdecl qmWinEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int*) {
    guarded([&] {
        if (viewer)
            viewer->windowEvent(window, message, wParam, lParam);
    });
}

QO_EXPORT void __cdecl qmKeyEvent() {}

QO_EXPORT void __cdecl qmReset(const char* text) {
    guarded([&] {
        if (viewer && text)
            viewer->resetTo(text);
    });
}
