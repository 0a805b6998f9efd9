#include "product_double.h"

#include <algorithm>
#include <cstdio>

#include "main_window_proc.h"
#include "qm/owner_protocol.h"

CallRecord productCalls;

namespace {

int fullScreenAnswer = 0;

std::string hexOf(const char* text) {
    std::string hex;
    for (const char* c = text; *c; ++c) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(*c));
        hex += byte;
    }
    return hex;
}

void __cdecl recordResize(int width, int height, int fullScreen) {
    productCalls.add("qmResize " + std::to_string(width) + "x" + std::to_string(height) + " " +
                     std::to_string(fullScreen));
}
int __cdecl answerFullScreen() { return fullScreenAnswer; }
void __cdecl recordText(const char* text) { productCalls.add("qmTextInput " + hexOf(text)); }
void __cdecl recordEvent(HWND, UINT message, WPARAM, LPARAM, int* handled) {
    char line[64];
    std::snprintf(line, sizeof line, "qmWinEvent %04x handled=%d", message, *handled);
    productCalls.add(line);
}
void __cdecl recordReset(const char* text) { productCalls.add(std::string("qmReset ") + text); }

}  // namespace

void CallRecord::add(const std::string& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(call);
}

std::vector<std::string> CallRecord::calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
}

void CallRecord::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

size_t CallRecord::count(const std::string& call) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<size_t>(std::count(calls_.begin(), calls_.end(), call));
}

BoundProduct::BoundProduct(FakeLoop* loop, int fullScreen) {
    productCalls.clear();
    fullScreenAnswer = fullScreen;
    entryPoints.qmResize.store(&recordResize);
    entryPoints.qmIsFullScreen.store(&answerFullScreen);
    entryPoints.qmTextInput.store(&recordText);
    entryPoints.qmWinEvent.store(&recordEvent);
    entryPoints.qmReset.store(&recordReset);
    if (loop) {
        delegate_.loop = loop;
        activeDelegate.store(&delegate_);
    }
}

BoundProduct::~BoundProduct() {
    activeDelegate.store(nullptr);
    unbindEntryPoints();
}

HWND createMainWindowForTest(LONG_PTR userData) {
    static const std::wstring className = qm::windowClassNameFor("tests");
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass = {};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS | CS_OWNDC;
        windowClass.lpfnWndProc = mainWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className.c_str();
        return RegisterClassExW(&windowClass);
    }();
    (void)registered;
    HWND window = CreateWindowExW(0, className.c_str(), L"test", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, userData);
    return window;
}
