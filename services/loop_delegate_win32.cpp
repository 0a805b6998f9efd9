#include "loop_delegate_win32.h"

#include <algorithm>
#include <vector>

#include "qm/owner_protocol.h"

std::atomic<qm::QMLoopDelegate*> activeDelegate{nullptr};

namespace {

// Every delegate ever made (they live for the whole process).
std::vector<const POINT*> savedCursorPositions;

}  // namespace

QMLoopDelegateWin32* QMLoopDelegateWin32::create(LoopDelegateHost& host) {
    auto* delegate = new QMLoopDelegateWin32(host);
    savedCursorPositions.push_back(&delegate->savedCursorPos);
    return delegate;
}

bool isSavedCursorPosition(const void* address) {
    return std::find(savedCursorPositions.begin(), savedCursorPositions.end(), address) !=
           savedCursorPositions.end();
}

void QMLoopDelegateWin32::productStopped() {
    activeDelegate.store(nullptr);
    host.reportState(kStateStopped);
}

void QMLoopDelegateWin32::hideCursor() {
    if (cursorHidden)
        return;
    GetCursorPos(&savedCursorPos);
    host.hideCursor();
    cursorHidden = true;
}

void QMLoopDelegateWin32::showCursor() {
    if (!cursorHidden)
        return;
    host.showCursor(&savedCursorPos);
    cursorHidden = false;
}

void QMLoopDelegateWin32::productReady() {
    host.reportState(kStateReady);
}

void QMLoopDelegateWin32::quit(int, int) {
    host.reportState(kStateQuitting);
    host.close();
}

void QMLoopDelegateWin32::reset(const char* parameters) {
    host.reset(parameters);
}

void QMLoopDelegateWin32::setFullScreen(bool on) {
    host.setFullScreen(on);
}
