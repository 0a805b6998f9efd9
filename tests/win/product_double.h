#pragma once
// Test doubles for the product library: entry points bound into the host's
// bindings and a product loop behind an active delegate, all recording the
// calls they receive.
#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "entry_points.h"
#include "loop_delegate_win32.h"

class CallRecord {
public:
    void add(const std::string& call);
    std::vector<std::string> calls() const;
    void clear();
    size_t count(const std::string& call) const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};

extern CallRecord productCalls;

class FakeLoop : public qm::ProductLoop {
public:
    void onFocusLost() override { productCalls.add("onFocusLost"); }
    void onFocusGained() override { productCalls.add("onFocusGained"); }
    void onRestored() override { productCalls.add("onRestored"); }
    void onMinimized() override { productCalls.add("onMinimized"); }
    void onLowMemory() override { productCalls.add("onLowMemory"); }
    bool canClose() override { productCalls.add("canClose"); return closable; }
    bool hasFocus() override { return focused; }
    int onText(const char*, int) override { return 0; }
    int onRecord(const void*) override { return 0; }
    bool closable = true;
    bool focused = true;
};

class FakeDelegate : public qm::QMLoopDelegate {
public:
    void reset(const char*) override {}
    void setFullScreen(bool) override {}
};

// Binds the recording doubles for the event entry points (qmIsFullScreen
// answers `fullScreen`) and, with `loop`, makes a delegate active.
// Everything is unbound again on destruction.
class BoundProduct {
public:
    explicit BoundProduct(FakeLoop* loop = nullptr, int fullScreen = 0);
    ~BoundProduct();

private:
    FakeDelegate delegate_;
};

// The main window class of the host, registered once for the tests.
HWND createMainWindowForTest(LONG_PTR userData = 0);
