#pragma once
// The host services handed to a product library by qmStart, and the
// product's loop object that the host calls back.
//
// Both are C++ classes whose virtual tables the other side calls by slot, so
// the declaration order below is fixed. Neither declares a virtual
// destructor: compilers lay one out differently (MSVC gives it one slot,
// GCC two), and everything after it would move. The delegate's slot 0 is a
// plain operation in the place and with the argument (the deleting flag) of
// a virtual destructor, so that the delegate's table is the same under every
// compiler: slot 0 deleteRequested, 1-5 hook1-hook5, 6 productStopped,
// 7 hideCursor, 8 showCursor, 9 productReady, 10 quit, 11 canClose,
// 12 relayText, 13 relayRecord, 14 reset, 15 setFullScreen.

namespace qm {

// The product's loop object. The product creates it and stores its address
// in QMLoopDelegate::loop before qmStart returns. The host calls it on its
// main thread only, and only while the delegate is active (until the
// product calls productStopped). No exception may leave its operations
// (product_library.h says why).
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
    // Slot 0, where a product built with a virtual destructor in this class
    // calls it (`delete delegate`). The host owns every delegate and keeps
    // using it, so nothing is released: the call returns the object as it is.
    virtual void* deleteRequested(unsigned int deletingFlag) {
        (void)deletingFlag;
        return this;
    }
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

protected:
    ~QMLoopDelegate() = default;  // the host owns and never destroys its delegates
};

}  // namespace qm
