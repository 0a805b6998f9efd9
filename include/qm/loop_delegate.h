#pragma once
// The host services handed to a product library by qmStart, and the
// product's loop object that the host calls back.
//
// Both are C++ classes whose virtual tables the other side calls by slot, so
// the declaration order below is fixed and the product library must be
// built with the same compiler as the host.

namespace qm {

// The product's loop object. The product creates it and stores its address
// in QMLoopDelegate::loop before qmStart returns. The host calls it on its
// main thread only, and only while the delegate is active (until the
// product calls productStopped).
class ProductLoop {
public:
    virtual void onFocusLost() = 0;      // the window lost the focus while hasFocus() was true
    virtual void onFocusGained() = 0;    // WM_SETFOCUS, or a click while hasFocus() was false
    virtual void onRestored() = 0;       // the window came back from being minimised
    virtual void onMinimized() = 0;
    virtual void onLowMemory() = 0;      // once per host message while the system is low on memory
    virtual bool canClose() = 0;         // false keeps the window open on a close request
    virtual bool hasFocus() = 0;
    virtual int onText(const char* text, int value) = 0;  // only through relayText
    virtual int onRecord(const void* record) = 0;         // only through relayRecord

protected:
    ~ProductLoop() = default;  // the product owns and destroys its loop
};

// Host services for the product. The host creates one per product start and
// never destroys it, so addresses inside it stay valid for the whole process.
// Any thread of the product may call it.
class QMLoopDelegate {
public:
    virtual ~QMLoopDelegate() = default;
    virtual void hook1() {}
    virtual void hook2() {}
    virtual void hook3(int, int) {}
    virtual void hook4() {}
    virtual void hook5() {}
    // The product has stopped: the host stops calling `loop` and reports
    // state 9 to the owner window.
    virtual void productStopped() {}
    // Hides the mouse cursor, remembering where it was; showCursor brings it
    // back there. Calls in the state they would produce do nothing.
    virtual void hideCursor() {}
    virtual void showCursor() {}
    // The product is ready: state 1 to the owner window.
    virtual void productReady() {}
    // Reports state 8 to the owner window and asks the main window to close
    // (canClose is asked first). The two values are not used.
    virtual void quit(int, int) {}
    virtual bool canClose() { return loop->canClose(); }
    virtual int relayText(const char* text, int value) { return loop->onText(text, value); }
    virtual int relayRecord(const void* record) { return loop->onRecord(record); }
    // Restarts the product in the same window with new launch parameters
    // (command-line or quorvelmeet:// text; null counts as empty). Returns at
    // once: the text is copied and the reset runs on a host thread, which
    // calls qmStop, unloads the library and starts it again.
    virtual void reset(const char* parameters) = 0;
    // Switches the main window to full screen (true) or back to its frame.
    virtual void setFullScreen(bool on) = 0;

    // Set by the product before qmStart returns; never by the host.
    ProductLoop* loop = nullptr;
};

}  // namespace qm
