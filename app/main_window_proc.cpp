#include "main_window_proc.h"

#include <vector>

#include "close_procedure.h"
#include "debug_log.h"
#include "entry_points.h"
#include "loop_delegate_win32.h"
#include "owner_messages.h"
#include "private_messages.h"
#include "qm_standalone.h"
#include "reset_request.h"
#include "update_outcome.h"

namespace {

constexpr UINT_PTR kRetryUpdateCheckDoneTimer = 1;
constexpr UINT kRetryUpdateCheckDoneMs = 50;

// Main thread only.
bool inSizeMove = false;
bool minimizedFlag = false;
// Completions of update checks that came while a reset held the product.
std::vector<unsigned> checksToRetry;

int fullScreenAnswer() {
    return queryEntryPoint(entryPoints.qmIsFullScreen, 0) != 0 ? 1 : 0;
}

// qmResize goes out only when the product can also say whether it is full screen.
void resizeProduct(int width, int height) {
    if (entryPoints.qmIsFullScreen.load())
        callEntryPoint(entryPoints.qmResize, width, height, fullScreenAnswer());
}

void forwardEvent(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int handled = 0;
    callEntryPoint(entryPoints.qmWinEvent, window, message, wParam, lParam, &handled);
}

bool productHasFocus() {
    return askProductLoop(false, [](qm::QMLoopDelegate& delegate) { return delegate.loop->hasFocus(); });
}

void onSize(WPARAM kind, LPARAM size) {
    if (kind == SIZE_MINIMIZED) {
        if (activeDelegate.load()) {
            minimizedFlag = true;
            callProductLoop([](qm::ProductLoop& loop) { loop.onMinimized(); });
        }
        return;
    }
    if ((kind == SIZE_RESTORED || kind == SIZE_MAXIMIZED) && minimizedFlag && activeDelegate.load()) {
        callProductLoop([](qm::ProductLoop& loop) { loop.onRestored(); });
        minimizedFlag = false;
    }
    // While the frame is dragged, the product is resized once at the end.
    if (!inSizeMove)
        resizeProduct(LOWORD(size), HIWORD(size));
}

void onExitSizeMove(HWND window) {
    inSizeMove = false;
    RECT client = {};
    GetClientRect(window, &client);
    resizeProduct(client.right, client.bottom);
}

void onKillFocus() {
    if (productHasFocus())
        callProductLoop([](qm::ProductLoop& loop) { loop.onFocusLost(); });
}

// A click into the window gives it the focus when the product has none.
void applyClickFocusRule(HWND window) {
    if (activeDelegate.load() && !productHasFocus()) {
        SetFocus(window);
        callProductLoop([](qm::ProductLoop& loop) { loop.onFocusGained(); });
    }
}

void onEraseBackground(HWND window, HDC dc) {
    if (activeDelegate.load())
        return;  // the product draws the whole client area
    QMStandAlone* application = QMStandAlone::fromWindow(window);
    if (!application || !application->backgroundBrush)
        return;
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(application->backgroundBrush.get()));
}

// One UTF-16 unit at a time: surrogate halves go out separately.
void onChar(WPARAM unit) {
    const wchar_t wide = static_cast<wchar_t>(LOWORD(unit));
    char utf8[6] = {};
    int written = WideCharToMultiByte(CP_UTF8, 0, &wide, 1, utf8, 5, nullptr, nullptr);
    utf8[written > 0 ? written : 0] = '\0';
    callEntryPoint(entryPoints.qmTextInput, static_cast<const char*>(utf8));
}

// The product start must not run while a reset replaces the library on its
// worker: then it is tried again a little later. The main thread never waits
// for the reset, which may need it for its message boxes.
void startAfterUpdateCheck(HWND window, unsigned check) {
    QMStandAlone* application = QMStandAlone::fromWindow(window);
    if (!application)
        return;
    std::unique_lock<std::mutex> lifecycle(productLifecycleLock(), std::try_to_lock);
    if (!lifecycle.owns_lock()) {
        checksToRetry.push_back(check);
        SetTimer(window, kRetryUpdateCheckDoneTimer, kRetryUpdateCheckDoneMs, nullptr);
        return;
    }
    onUpdateCheckDone(*application, check);
}

void retryDeferredStarts(HWND window) {
    KillTimer(window, kRetryUpdateCheckDoneTimer);
    std::vector<unsigned> checks;
    checks.swap(checksToRetry);
    for (unsigned check : checks)
        startAfterUpdateCheck(window, check);
}

void onTimer(HWND window, WPARAM timer) {
    if (timer == kRetryUpdateCheckDoneTimer)
        retryDeferredStarts(window);
}

// The reset is done: a product start it held back comes first, so that the
// close stops the restarted product the ordinary way.
void closeAfterReset(HWND window) {
    retryDeferredStarts(window);
    onCloseAfterReset(window);
}

void onPrivateMessage(HWND window, WPARAM code, LPARAM lParam) {
    if (code == kUpdateCheckDone) {
        startAfterUpdateCheck(window, static_cast<unsigned>(lParam));
    } else if (code == kCloseWorkerDone) {
        onCloseWorkerDone(window, lParam);
    } else if (code == kCloseAfterReset) {
        closeAfterReset(window);
    }
}

void onShowCursor(WPARAM savedPosition) {
    // Any process can post this message: only a position that one of our
    // delegates saved is ever read.
    const POINT* position = reinterpret_cast<const POINT*>(savedPosition);
    if (!isSavedCursorPosition(position)) {
        debugLog(kLogWarning, "Ignored a cursor position that this process did not save (%p)",
                 reinterpret_cast<const void*>(position));
        return;
    }
    ShowCursor(TRUE);
    SetCursorPos(position->x, position->y);
}

void resetThroughProduct(HWND window, const char* text) {
    if (QMStandAlone::fromWindow(window))
        callEntryPoint(entryPoints.qmReset, text);
}

}  // namespace

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        break;
    case WM_SIZE:
        onSize(wParam, lParam);
        break;
    case WM_SETFOCUS:
        callProductLoop([](qm::ProductLoop& loop) { loop.onFocusGained(); });
        break;
    case WM_KILLFOCUS:
        onKillFocus();
        break;
    case WM_CLOSE:
        return onClose(window, wParam, lParam);
    case WM_ERASEBKGND:
        onEraseBackground(window, reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_COPYDATA:
        return onCopyData(window, reinterpret_cast<HWND>(wParam), reinterpret_cast<const COPYDATASTRUCT*>(lParam),
                          resetThroughProduct);
    case WM_CHAR:
        onChar(wParam);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        applyClickFocusRule(window);
        forwardEvent(window, message, wParam, lParam);
        break;
    case WM_WINDOWPOSCHANGED:
    case WM_INPUT:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
        forwardEvent(window, message, wParam, lParam);
        break;
    case WM_ENTERSIZEMOVE:
        inSizeMove = true;
        break;
    case WM_EXITSIZEMOVE:
        onExitSizeMove(window);
        break;
    case kPrivateMessage:
        onPrivateMessage(window, wParam, lParam);
        break;
    case WM_TIMER:
        onTimer(window, wParam);
        break;
    case kHideCursorMessage:
        ShowCursor(FALSE);
        break;
    case kShowCursorMessage:
        onShowCursor(wParam);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
