#include "debug_harness.h"

#include <chrono>
#include <memory>

#include "text_lines.h"
#include "unique_handle.h"

namespace {

std::string readDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
    if (info.fUnicode || info.nDebugStringLength == 0)
        return {};
    std::string text(info.nDebugStringLength, '\0');
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, info.lpDebugStringData, &text[0], text.size(), &read))
        return {};
    text.resize(read);
    const size_t nul = text.find('\0');
    if (nul != std::string::npos)
        text.resize(nul);
    return text;
}

struct WindowsOf {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowsOf*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && lstrcmpA(name, "#32770") != 0)
        search->windows.push_back(window);
    return TRUE;
}

void closeTopLevelWindows(DWORD processId) {
    WindowsOf search{processId, {}};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.windows)
        PostMessageA(window, WM_CLOSE, 0, 0);
}

}  // namespace

std::vector<std::string> DebugRun::linesStartingWith(const std::string& prefix) const {
    return ::linesStartingWith(lines, prefix);
}

bool DebugRun::hasLine(const std::string& line) const {
    for (const std::string& l : lines) {
        if (l == line)
            return true;
    }
    return false;
}

std::string testBinaryDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1);
}

DebugRun runUnderDebugger(const std::string& commandLine, const DebugRunOptions& options) {
    DebugRun run;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string mutableLine = commandLine;
    const auto startedAt = std::chrono::steady_clock::now();
    if (!CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                        nullptr, options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str(),
                        &startup, &info))
        return run;
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    run.started = true;
    run.processId = info.dwProcessId;

    std::unique_ptr<MessageBoxWatcher> watcher;
    if (options.answerBoxes)
        watcher = std::make_unique<MessageBoxWatcher>(info.dwProcessId);

    const ULONGLONG deadline = GetTickCount64() + options.timeoutMs;
    bool closed = false;
    for (;;) {
        // Once the last box is gone, so that the close is not handled
        // inside its modal loop.
        if (watcher && options.closeAfterBoxes && !closed &&
            watcher->boxes().size() >= options.closeAfterBoxes && !watcher->anyBoxShown()) {
            closeTopLevelWindows(info.dwProcessId);
            closed = true;
        }
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, 100)) {
            if (GetTickCount64() >= deadline && !run.timedOut) {
                run.timedOut = true;
                TerminateProcess(process.get(), 0xDEAD);
            }
            continue;
        }
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            UniqueFileHandle(event.u.CreateProcessInfo.hFile).reset();
            break;
        case LOAD_DLL_DEBUG_EVENT:
            UniqueFileHandle(event.u.LoadDll.hFile).reset();
            break;
        case OUTPUT_DEBUG_STRING_EVENT:
            run.lines.push_back(readDebugString(process.get(), event.u.DebugString));
            if (options.onLine) {
                const std::chrono::duration<double> since = std::chrono::steady_clock::now() - startedAt;
                options.onLine({run.lines.back(), since.count(), process.get()});
            }
            break;
        case EXCEPTION_DEBUG_EVENT:
            // The loader's breakpoint is ours to swallow; everything else is
            // the program's to handle (or to crash on).
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        default:
            break;
        }
        const bool exited = event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT;
        if (exited)
            run.exitCode = event.u.ExitProcess.dwExitCode;
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        if (exited)
            break;
    }
    if (watcher) {
        watcher->stop();
        run.boxes = watcher->boxes();
    }
    return run;
}
