// qmowner: a small owner program for integrators and tests.
//
//   qmowner run [--timeout SECONDS] -- HOSTARGS
//       starts quorvelmeet.exe (next to qmowner.exe) with "-owner <its window>"
//       and HOSTARGS, prints every state report and product record the host
//       sends, one line each, and returns the host's exit code. Each of
//       HOSTARGS reaches the host as one token: one with spaces is quoted for
//       it (-title "Two words" gives the title "Two words").
//   qmowner send TARGET setowner | reset TEXT | command N
//       sends one command to a running host: TARGET is its window handle
//       (decimal or 0x hex) or its product name (the window class
//       STAGEENGINE.<PRODUCT>). Prints the host's answer.
//   qmowner send TARGET close
//       asks the host's window to close, as the user would.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "command_line.h"
#include "qm/owner_protocol.h"
#include "unique_handle.h"

namespace {

const wchar_t* const kOwnerClass = L"QMOwnerTool";
ULONGLONG startTick = 0;

void printEnvelope(const COPYDATASTRUCT* envelope) {
    const double seconds = static_cast<double>(GetTickCount64() - startTick) / 1000.0;
    const auto* bytes = static_cast<const unsigned char*>(envelope->lpData);
    if (envelope->dwData == kCommandStateReport && envelope->cbData == sizeof(int32_t)) {
        int32_t state;
        std::memcpy(&state, bytes, sizeof state);
        std::printf("%8.3f state %d\n", seconds, static_cast<int>(state));
    } else {
        std::printf("%8.3f command %lu %lu bytes:", seconds, static_cast<unsigned long>(envelope->dwData),
                    static_cast<unsigned long>(envelope->cbData));
        for (DWORD i = 0; bytes && i < envelope->cbData; ++i)
            std::printf(" %02x", bytes[i]);
        std::printf("\n");
    }
    std::fflush(stdout);
}

LRESULT CALLBACK ownerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        printEnvelope(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND createOwnerWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ownerProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kOwnerClass;
    RegisterClassW(&windowClass);
    // A message-only window would do, but the host checks with IsWindow only.
    return CreateWindowExW(0, kOwnerClass, L"qmowner", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

std::string hostPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of("\\/") + 1) + "quorvelmeet.exe";
}

int runHost(int argc, char** argv) {
    DWORD timeoutMs = INFINITE;
    int first = 2;
    if (first + 1 < argc && std::strcmp(argv[first], "--timeout") == 0) {
        timeoutMs = static_cast<DWORD>(std::strtoul(argv[first + 1], nullptr, 10) * 1000);
        first += 2;
    }
    if (first < argc && std::strcmp(argv[first], "--") == 0)
        ++first;
    std::string hostArguments;
    if (!qm::joinLaunchArguments(std::vector<std::string>(argv + first, argv + argc), hostArguments)) {
        std::fprintf(stderr, "qmowner: an argument holds both a quote and a space: the host cannot read it\n");
        return -1;
    }

    HWND owner = createOwnerWindow();
    if (!owner) {
        std::fprintf(stderr, "qmowner: cannot create the owner window (error %lu)\n", GetLastError());
        return 2;
    }
    std::string commandLine = "\"" + hostPath() + "\" -owner " +
                              std::to_string(reinterpret_cast<UINT_PTR>(owner));
    if (!hostArguments.empty())
        commandLine += " " + hostArguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::fprintf(stderr, "qmowner: cannot start %s (error %lu)\n", hostPath().c_str(), GetLastError());
        return 2;
    }
    UniqueKernelHandle process(info.hProcess);
    UniqueKernelHandle thread(info.hThread);
    startTick = GetTickCount64();

    const ULONGLONG deadline = timeoutMs == INFINITE ? ~0ULL : GetTickCount64() + timeoutMs;
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 100, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        if (wait == WAIT_OBJECT_0)
            break;
        if (GetTickCount64() >= deadline) {
            std::fprintf(stderr, "qmowner: the host did not end in time; closing it\n");
            TerminateProcess(process.get(), 3);
            WaitForSingleObject(process.get(), INFINITE);
            break;
        }
    }
    // Reports sent while the process ended are still in the queue.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&message);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.get(), &exitCode);
    std::printf("exit %ld\n", static_cast<long>(exitCode));
    return static_cast<int>(exitCode);
}

HWND findTarget(const char* target) {
    char* end = nullptr;
    const unsigned long long number = std::strtoull(target, &end, 0);
    if (end && *end == '\0' && number != 0)
        return reinterpret_cast<HWND>(static_cast<UINT_PTR>(number));
    const std::wstring className = qm::windowClassNameFor(target);
    return className.empty() ? nullptr : FindWindowW(className.c_str(), nullptr);
}

int sendCommand(int argc, char** argv) {
    if (argc < 4)
        return -1;
    HWND host = findTarget(argv[2]);
    if (!host || !IsWindow(host)) {
        std::fprintf(stderr, "qmowner: no host window for %s\n", argv[2]);
        return 2;
    }
    const std::string verb = argv[3];
    if (verb == "close") {
        PostMessageW(host, WM_CLOSE, 0, 0);
        return 0;
    }
    COPYDATASTRUCT envelope = {};
    std::string payload;
    if (verb == "setowner") {
        envelope.dwData = kCommandSetOwner;
    } else if (verb == "reset" && argc >= 5) {
        envelope.dwData = kCommandDoReset;
        payload = argv[4];
        envelope.cbData = static_cast<DWORD>(payload.size() + 1);  // the terminator goes too
        envelope.lpData = &payload[0];
    } else if (verb == "command" && argc >= 5) {
        envelope.dwData = std::strtoul(argv[4], nullptr, 0);
    } else {
        return -1;
    }
    HWND owner = createOwnerWindow();
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(host, WM_COPYDATA, reinterpret_cast<WPARAM>(owner), reinterpret_cast<LPARAM>(&envelope),
                             SMTO_NORMAL, 5000, &answer)) {
        std::fprintf(stderr, "qmowner: the host did not answer (error %lu)\n", GetLastError());
        return 2;
    }
    std::printf("answer %lu\n", static_cast<unsigned long>(answer));
    return answer == 1 ? 0 : 1;
}

void usage() {
    std::fprintf(stderr,
                 "usage: qmowner run [--timeout SECONDS] -- HOSTARGS\n"
                 "       qmowner send TARGET setowner | reset TEXT | command N\n"
                 "       qmowner send TARGET close\n"
                 "TARGET: the host's window handle, or its product name\n");
}

}  // namespace

int main(int argc, char** argv) {
    int result = -1;
    if (argc >= 2 && std::strcmp(argv[1], "run") == 0)
        result = runHost(argc, argv);
    else if (argc >= 2 && std::strcmp(argv[1], "send") == 0)
        result = sendCommand(argc, argv);
    if (result == -1) {
        usage();
        return 64;
    }
    return result;
}
