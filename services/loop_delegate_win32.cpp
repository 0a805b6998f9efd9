#include "loop_delegate_win32.h"

#include <algorithm>
#include <vector>

#include "full_screen.h"
#include "host_state.h"
#include "owner_messages.h"
#include "private_messages.h"
#include "reset_request.h"

std::atomic<qm::QMLoopDelegate*> activeDelegate{nullptr};

namespace {

// Every delegate ever made (they live for the whole process).
std::vector<const POINT*> savedCursorPositions;

}  // namespace

QMStandAlone::QMLoopDelegateWin32* QMStandAlone::QMLoopDelegateWin32::create() {
    auto* delegate = new QMLoopDelegateWin32();
    savedCursorPositions.push_back(&delegate->savedCursorPos);
    return delegate;
}

bool isSavedCursorPosition(const void* address) {
    return std::find(savedCursorPositions.begin(), savedCursorPositions.end(), address) !=
           savedCursorPositions.end();
}

void QMStandAlone::QMLoopDelegateWin32::productStopped() {
    activeDelegate.store(nullptr);
    reportState(kStateStopped);
}

void QMStandAlone::QMLoopDelegateWin32::hideCursor() {
    if (cursorHidden)
        return;
    GetCursorPos(&savedCursorPos);
    PostMessageA(mainWindow.load(), kHideCursorMessage, 0, 0);
    cursorHidden = true;
}

void QMStandAlone::QMLoopDelegateWin32::showCursor() {
    if (!cursorHidden)
        return;
    PostMessageA(mainWindow.load(), kShowCursorMessage, reinterpret_cast<WPARAM>(&savedCursorPos), 0);
    cursorHidden = false;
}

void QMStandAlone::QMLoopDelegateWin32::productReady() {
    reportState(kStateReady);
}

void QMStandAlone::QMLoopDelegateWin32::quit(int, int) {
    reportState(kStateQuitting);
    PostMessageA(mainWindow.load(), WM_CLOSE, 0, 0);
}

void QMStandAlone::QMLoopDelegateWin32::reset(const char* parameters) {
    startReset(QMStandAlone::fromWindow(mainWindow.load()), parameters);
}

void QMStandAlone::QMLoopDelegateWin32::setFullScreen(bool on) {
    unsigned int ignoredWidth = 0;
    unsigned int ignoredHeight = 0;
    switchFullScreen(mainWindow.load(), on, ignoredWidth, ignoredHeight);
}
