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

class DemoLoop : public qm::ProductLoop {
public:
    void onFocusLost() override { viewer->setFocus(false); }
    void onFocusGained() override { viewer->setFocus(true); }
    void onRestored() override { viewer->setFocus(true); }
    void onMinimized() override { viewer->setFocus(false); }
    void onLowMemory() override { viewer->dropCaches(); }
    bool canClose() override { return true; }
    bool hasFocus() override { return viewer->focused(); }
    int onText(const char*, int) override { return 0; }
    int onRecord(const void*) override { return 0; }
};

DemoLoop demoLoop;

}  // namespace

QO_EXPORT bool __cdecl qmUpdateSystem(qm::LaunchParameters* parameters, HWND, QMUpdateCheckDoneFn done, void*) {
    try {
        qo::UpdateAnswer answer = qo::checkForUpdate(*parameters);
        {
            std::lock_guard<std::mutex> lock(updateMutex);
            updateAnswer = std::move(answer);
        }
    } catch (...) {
        return false;
    }
    done();
    return true;
}

QO_EXPORT bool __cdecl qmUpdateSystemGetData(qm::UpdateData* data) {
    try {
        std::lock_guard<std::mutex> lock(updateMutex);
        data->flags = updateAnswer.flags;
        data->url = updateAnswer.url;
        data->src = updateAnswer.src;
        data->productName = updateAnswer.productName;
        return true;
    } catch (...) {
        return false;
    }
}

QO_EXPORT void __cdecl qmUpdateSystemRelease() {
    std::lock_guard<std::mutex> lock(updateMutex);
    updateAnswer = {};
}

QO_EXPORT void __cdecl qmPreInit() {}

QO_EXPORT int __cdecl qmInit(qm::LaunchParameters* parameters, const qm::HostVersion*) {
    try {
        viewer = std::make_unique<qo::Viewer>(*parameters);
        const std::string line = std::string("qo|qmInit scene=") + viewer->sceneName() + "\n";
        OutputDebugStringA(line.c_str());
        return 0;
    } catch (...) {
        return 1;
    }
}

QO_EXPORT int __cdecl qmIsFullScreen() {
    return 0;
}

QO_EXPORT int __cdecl qmStart(qm::QMLoopDelegate* delegate, int width, int height, HWND window, HWND, int) {
    if (!viewer)
        return 1;
    try {
        delegate->loop = &demoLoop;
        viewer->start(delegate, window, width, height);
        return 0;
    } catch (...) {
        return 1;
    }
}

QO_EXPORT void __cdecl qmStop() {
    // The viewer itself stays: the main thread may still be inside one of
    // its calls. It goes with the library.
    if (viewer)
        viewer->stop();
}

QO_EXPORT void __cdecl qmResize(int width, int height, int) {
    if (viewer)
        viewer->resize(width, height);
}

QO_EXPORT void __cdecl qmTextInput(const char* utf8) {
    try {
        if (viewer)
            viewer->textInput(utf8);
    } catch (...) {
    }
}

QO_EXPORT void __cdecl qmWinEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam, int*) {
    try {
        if (viewer)
            viewer->windowEvent(window, message, wParam, lParam);
    } catch (...) {
    }
}

QO_EXPORT void __cdecl qmKeyEvent() {}

QO_EXPORT void __cdecl qmReset(const char* text) {
    if (viewer && text)
        viewer->resetTo(text);
}
