#include "owner_window.h"

#include <cstring>

#include "qm/owner_protocol.h"

namespace {

const wchar_t* const kOwnerClass = L"QMTestOwnerWindow";

}  // namespace

OwnerWindow::OwnerWindow() {
    std::mutex ready;
    std::condition_variable created;
    bool done = false;
    thread_ = std::thread([&] {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kOwnerClass;
        RegisterClassW(&windowClass);
        HWND window = CreateWindowExW(0, kOwnerClass, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), this);
        {
            std::lock_guard<std::mutex> lock(ready);
            window_ = window;
            done = true;
        }
        created.notify_all();
        run();
    });
    std::unique_lock<std::mutex> lock(ready);
    created.wait(lock, [&] { return done; });
}

OwnerWindow::~OwnerWindow() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

void OwnerWindow::run() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK OwnerWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<OwnerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_COPYDATA: {
        const auto* envelope = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (self->answerDelayMs_)
            Sleep(self->answerDelayMs_);
        ReceivedCopyData data{envelope->dwData, reinterpret_cast<HWND>(wParam),
                              std::string(static_cast<const char*>(envelope->lpData), envelope->cbData)};
        {
            std::lock_guard<std::mutex> lock(self->mutex_);
            self->received_.push_back(data);
        }
        self->changed_.notify_all();
        return 1;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

std::string OwnerWindow::handleText() const {
    return std::to_string(reinterpret_cast<UINT_PTR>(window_));
}

std::vector<ReceivedCopyData> OwnerWindow::received() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
}

std::vector<int32_t> OwnerWindow::states() const {
    std::vector<int32_t> codes;
    for (const ReceivedCopyData& data : received()) {
        if (data.command == kCommandStateReport && data.payload.size() == sizeof(int32_t)) {
            int32_t code;
            std::memcpy(&code, data.payload.data(), sizeof code);
            codes.push_back(code);
        }
    }
    return codes;
}

size_t OwnerWindow::stateCount(int32_t code) const {
    size_t count = 0;
    for (int32_t seen : states())
        count += seen == code;
    return count;
}

bool OwnerWindow::waitForState(int32_t code, DWORD timeoutMs, size_t times) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (stateCount(code) >= times)
            return true;
        if (GetTickCount64() >= deadline)
            return false;
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(50));
    }
}

LRESULT OwnerWindow::send(HWND target, ULONG_PTR command, const void* payload, DWORD size) const {
    COPYDATASTRUCT envelope = {command, size, const_cast<void*>(payload)};
    return SendMessageW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(window_), reinterpret_cast<LPARAM>(&envelope));
}

HWND waitForHostWindow(const std::string& product, DWORD timeoutMs) {
    const std::wstring className = qm::windowClassNameFor(product);
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND window = FindWindowW(className.c_str(), nullptr))
            return window;
        if (GetTickCount64() >= deadline)
            return nullptr;
        Sleep(50);
    }
}
