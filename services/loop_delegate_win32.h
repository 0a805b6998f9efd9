#pragma once
// The host services object the product receives in qmStart, and the active
// delegate through which the host reaches the product's loop.
#include <windows.h>

#include <atomic>

#include "entry_points.h"
#include "qm/loop_delegate.h"

// What a delegate asks of the host application, which implements it. Any
// thread: the product calls its delegate from its own threads too.
class LoopDelegateHost {
public:
    virtual void reportState(int state) = 0;              // to the owner window
    virtual void hideCursor() = 0;                         // on the main window's thread
    virtual void showCursor(const POINT* restoreAt) = 0;   // likewise, back to `restoreAt`
    virtual void close() = 0;                              // as if the user closed the window
    virtual void reset(const char* parameters) = 0;
    virtual void setFullScreen(bool on) = 0;

protected:
    ~LoopDelegateHost() = default;
};

class QMLoopDelegateWin32 final : public qm::QMLoopDelegate {
public:
    // Created on the main thread, one per product start; never destroyed,
    // so the saved cursor position stays valid for posted messages.
    static QMLoopDelegateWin32* create(LoopDelegateHost& host);

    void productStopped() override;
    void hideCursor() override;
    void showCursor() override;
    void productReady() override;
    void quit(int, int) override;
    void reset(const char* parameters) override;
    void setFullScreen(bool on) override;

    POINT savedCursorPos = {};
    bool cursorHidden = false;

private:
    explicit QMLoopDelegateWin32(LoopDelegateHost& host) : host(host) {}
    LoopDelegateHost& host;
};

// The delegate of the running product; null before the product starts and
// after it reported that it stopped.
extern std::atomic<qm::QMLoopDelegate*> activeDelegate;

// Whether `address` is the saved cursor position of one of our delegates:
// only those may be handed back with the show-cursor message. Main thread.
bool isSavedCursorPosition(const void* address);

// Calls the product's loop through the active delegate, if there is one;
// whatever the product throws is contained and logged.
template <typename Call>
void callProductLoop(Call&& call) {
    guardedProductCall([&] {
        if (qm::QMLoopDelegate* delegate = activeDelegate.load())
            call(*delegate->loop);
    });
}

// Asks the product's loop a yes/no question; `otherwise` without a delegate.
template <typename Call>
bool askProductLoop(bool otherwise, Call&& call) {
    bool answer = otherwise;
    guardedProductCall([&] {
        if (qm::QMLoopDelegate* delegate = activeDelegate.load())
            answer = call(*delegate);
    });
    return answer;
}
