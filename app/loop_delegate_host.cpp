#include "loop_delegate_host.h"

#include "full_screen.h"
#include "host_state.h"
#include "owner_messages.h"
#include "private_messages.h"
#include "qm_standalone.h"
#include "reset_request.h"

namespace {

class MainWindowHost final : public LoopDelegateHost {
public:
    void reportState(int state) override { ::reportState(state); }

    void hideCursor() override { PostMessageA(mainWindow.load(), kHideCursorMessage, 0, 0); }

    // The window procedure takes the position back only from one of our
    // delegates (isSavedCursorPosition): any process can post this message.
    void showCursor(const POINT* restoreAt) override {
        PostMessageA(mainWindow.load(), kShowCursorMessage, reinterpret_cast<WPARAM>(restoreAt), 0);
    }

    void close() override { PostMessageA(mainWindow.load(), WM_CLOSE, 0, 0); }

    void reset(const char* parameters) override {
        startReset(QMStandAlone::fromWindow(mainWindow.load()), parameters);
    }

    void setFullScreen(bool on) override {
        unsigned int ignoredWidth = 0;
        unsigned int ignoredHeight = 0;
        switchFullScreen(mainWindow.load(), on, ignoredWidth, ignoredHeight);
    }
};

}  // namespace

LoopDelegateHost& loopDelegateHost() {
    static MainWindowHost host;
    return host;
}
