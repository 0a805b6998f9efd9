// A small GUI program that installs the crash reporter and then crashes the
// way it is told, for the report tests.
// Usage: crash_probe MODE REPORT_FOLDER|- MINIDUMP_TYPE_HEX LOG_FILE
//   MODE: access-violation, thread-access-violation, raise (kProbeExceptionCode),
//   abort, or clean (install,
//   attach, uninstall and exit 0).
// The main window's client area is painted kProbeColor so that a test can
// find it in the screenshot.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "crash_probe_protocol.h"
#include "crash_reporter.h"
#include "unique_handle.h"

namespace {

constexpr DWORD kPaintedTimeoutMs = 30000;

LRESULT CALLBACK probeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// Whether the screen shows the painted window: the screenshot is taken from
// the screen, not from the window.
bool paintedOnScreen(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    UniqueScreenDC screen(GetDC(nullptr));
    return screen && GetPixel(screen.get(), rect.left + kProbeColorX, rect.top + kProbeColorY) == kProbeColor;
}

HWND showProbeWindow(HINSTANCE instance, HBRUSH background) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = probeWindowProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = L"CrashProbeWindow";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"crash probe", WS_OVERLAPPEDWINDOW, 100, 100,
                                  kProbeWindowWidth, kProbeWindowHeight, nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    // The crash must not come before the window is on the screen; the limit
    // is only for a screen that never shows it (the test then fails on the
    // screenshot).
    const ULONGLONG deadline = GetTickCount64() + kPaintedTimeoutMs;
    MSG message;
    while (!paintedOnScreen(window) && GetTickCount64() < deadline) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return window;
}

int failWith(const char* what) {
    char reason[CRASH_REPORTER_ERROR_TEXT_SIZE] = {};
    crashReporterLastErrorText(reason, sizeof reason);
    std::printf("%s: %s\n", what, reason);
    return kProbeSetupFailed;
}

// A write to a page that allows no access. (Under the user-mode emulator that
// runs 32-bit Wine here, page 0 can be writable, so a null write need not fault.)
void writeToNoAccessPage() {
    int* volatile page = static_cast<int*>(VirtualAlloc(nullptr, 4096, MEM_RESERVE | MEM_COMMIT, PAGE_NOACCESS));
    *page = 1;
}

DWORD WINAPI crashingThread(void*) {
    writeToNoAccessPage();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc != 5)
        return kProbeSetupFailed;
    const std::string mode = __argv[1];
    const std::string reportFolder = __argv[2];

    UniqueGdiObject background(CreateSolidBrush(kProbeColor));
    showProbeWindow(instance, static_cast<HBRUSH>(background.get()));

    CrashReporterInstallInfo info = {};
    info.size = sizeof info;
    info.applicationVersion = "9.8.7.6";
    info.flags = CRASH_HANDLER_ALL;
    info.minidumpType = std::strtoul(__argv[3], nullptr, 16);
    info.reportFolder = reportFolder == "-" ? nullptr : reportFolder.c_str();
    if (crashReporterInstall(&info) != 0)
        return failWith("install");
    if (crashReporterAddFile(__argv[4], nullptr, "Log File", CRASH_FILE_MAKE_COPY) != 0)
        return failWith("add file");
    if (crashReporterAddScreenshot(CRASH_SCREENSHOT_MAIN_WINDOW | CRASH_SCREENSHOT_USER_REMOVABLE, 0) != 0)
        return failWith("add screenshot");

    if (mode == "access-violation") {
        writeToNoAccessPage();
    } else if (mode == "thread-access-violation") {
        UniqueKernelHandle thread(CreateThread(nullptr, 0, crashingThread, nullptr, 0, nullptr));
        WaitForSingleObject(thread.get(), INFINITE);
    } else if (mode == "raise") {
        RaiseException(kProbeExceptionCode, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    } else if (mode == "abort") {
        std::abort();
    }
    if (crashReporterUninstall() != 0)
        return failWith("uninstall");
    return 0;
}
