#pragma once
// Watches for message boxes of one process, records what each one says and
// presses its OK button (or, without one, its first button), so that tests can
// assert every box a program shows without any hook in the program.
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

enum class BoxIcon { None, Error, Warning, Information, Question };

struct RecordedBox {
    std::string caption;
    std::string text;
    BoxIcon icon = BoxIcon::None;
    HWND owner = nullptr;
    bool topmost = false;
    std::vector<std::string> buttons;
};

class MessageBoxWatcher {
public:
    // processId 0 watches the calling process.
    explicit MessageBoxWatcher(DWORD processId = 0);
    ~MessageBoxWatcher();
    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<RecordedBox> boxes() const;
    // Waits until at least `count` boxes were answered; false on time-out.
    bool waitForBoxes(size_t count, DWORD timeoutMs) const;
    // Whether a box of the process is on the screen now, answered or not.
    bool anyBoxShown() const;
    // Stops watching; boxes that appear later stay open.
    void stop();

private:
    void watch();
    void answerVisibleBoxes();

    DWORD processId_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<RecordedBox> boxes_;
    std::vector<HWND> seen_;
    std::vector<HWND> answered_;
    std::thread thread_;
};

const char* boxIconName(BoxIcon icon);
