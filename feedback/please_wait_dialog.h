#pragma once
// The please-wait window that keeps the user informed while a thread loads
// the libraries and so cannot process window messages itself. It lives on a
// thread of its own, wakes for its messages or its stop request and draws
// how far the loader has got.
#include <windows.h>

#include <cstdint>

#include "unique_handle.h"

constexpr int kPleaseWaitBarHeight = 35;
constexpr int kProgressTextSize = MAX_PATH;
constexpr const char* kPleaseWaitClassName = "qm.PleaseWaitDialog";

// One consistent reading of the bar's state.
struct PleaseWaitProgress {
    int32_t progressMin = 0;
    int32_t progressMax = 0;
    int32_t progressValue = 0;
    char progressText[kProgressTextSize] = {};
};

class PleaseWaitDialog {
public:
    // Builds and lays out the windows on the calling thread, which then owns
    // them. Without a window class or window the object exists bare.
    PleaseWaitDialog(const char* title, const char* text);
    ~PleaseWaitDialog();
    PleaseWaitDialog(const PleaseWaitDialog&) = delete;
    PleaseWaitDialog& operator=(const PleaseWaitDialog&) = delete;

    // Loader side, any thread. Each change is made whole under the lock the
    // painting takes, then the bar is asked to repaint.
    //
    // Sets the range to [0, count] and clamps the value into it; nothing
    // happens without a bar or without rows.
    void setProgressRange(int32_t count);
    // A library was loaded: its name becomes the text and, with a bar and a
    // non-empty range, the value advances one step.
    void reportLoaded(const char* fileName);
    PleaseWaitProgress progress() const;

    UniqueWindow window;
    HWND textLabel = nullptr;
    HWND iconLabel = nullptr;
    HWND progressBar = nullptr;
    int32_t iconWidth = 0;
    int32_t iconHeight = 0;
    const int32_t barHeight = kPleaseWaitBarHeight;

private:
    static bool registerWindowClass(HINSTANCE instance);
    static LRESULT CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK barProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createChildren();
    void loadIcon();
    void subclassBar();
    void layOut();
    void onSize(int width, int height);
    void paintBar(HWND bar);
    void invalidateBar();

    WNDPROC previousBarProc = nullptr;
    mutable SRWLOCK progressLock = SRWLOCK_INIT;  // guards state
    PleaseWaitProgress state;
};
