#pragma once
// A real owner window, as an owner program has one: it runs on its own
// thread, records every WM_COPYDATA the host sends it and can send the
// host's commands.
#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ReceivedCopyData {
    ULONG_PTR command;
    HWND sender;
    std::string payload;
};

class OwnerWindow {
public:
    OwnerWindow();
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;

    HWND handle() const { return window_; }
    // Its handle as the decimal text of an "-owner" launch parameter.
    std::string handleText() const;

    std::vector<ReceivedCopyData> received() const;
    // The state codes of the state reports received so far, in order.
    std::vector<int32_t> states() const;
    // How many state reports with `code` arrived so far.
    size_t stateCount(int32_t code) const;
    // Waits until a state report with `code` arrived; false on time-out.
    bool waitForState(int32_t code, DWORD timeoutMs, size_t times = 1) const;

    // Sends WM_COPYDATA to `target` from this window; returns the answer.
    LRESULT send(HWND target, ULONG_PTR command, const void* payload, DWORD size) const;

    // Makes the window stop answering for `ms` per message (a hung owner).
    void setAnswerDelay(DWORD ms) { answerDelayMs_ = ms; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void run();

    HWND window_ = nullptr;
    std::atomic<DWORD> answerDelayMs_{0};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<ReceivedCopyData> received_;
    std::thread thread_;
};

// The host's main window for a product name, waiting for it to appear.
HWND waitForHostWindow(const std::string& product, DWORD timeoutMs);
