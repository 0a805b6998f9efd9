// The host's process entry and main loop.
#include <windows.h>

#include <cstring>
#include <memory>

#include "crash_reporting.h"
#include "host_state.h"
#include "command_line.h"
#include "launch_platform.h"
#include "loop_delegate_win32.h"
#include "main_window_proc.h"
#include "product_library_loader.h"
#include "qm_standalone.h"
#include "reset_request.h"

namespace {

bool registerMainWindowClass(const QMStandAlone& application) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = application.instance;
    windowClass.hIcon = LoadIconA(application.instance, MAKEINTRESOURCEA(application.iconId));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEW(application.menuId);
    windowClass.lpszClassName = application.windowClassName.c_str();
    windowClass.hIconSm = LoadIconA(application.instance, MAKEINTRESOURCEA(application.smallIconId));
    return RegisterClassExW(&windowClass) != 0;
}

void registerRawMouseInput(HWND window) {
    RAWINPUTDEVICE mouse = {};
    mouse.usUsagePage = 1;
    mouse.usUsage = 2;
    mouse.hwndTarget = window;
    RegisterRawInputDevices(&mouse, 1, sizeof mouse);
}

// Tells the running product when the system is low on memory, after every
// message the loop takes.
void passOnLowMemory(const QMStandAlone& application, BOOL& lowMemory) {
    if (!activeDelegate.load())
        return;
    if (QueryMemoryResourceNotification(application.lowMemoryNotification.get(), &lowMemory) && lowMemory)
        callProductLoop([](qm::ProductLoop& loop) { loop.onLowMemory(); });
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    mainThreadId.store(GetCurrentThreadId());
    const bool crashReporting = std::strstr(commandLine, "-no_crash_report") == nullptr &&
                                std::strstr(commandLine, "-cloud_instance") == nullptr;
    if (crashReporting)
        installCrashReporting();

    auto application = std::make_unique<QMStandAlone>(instance, kWindowTitle);
    {
        qm::LaunchParameters startup(application->params.product, application->params.state,
                                     application->params.client);
        qm::parseLaunchText(startup, commandLine, qm::windowsLaunchPlatform());
        application->applyParameters(startup);
    }

    if (!registerMainWindowClass(*application) || !application->initialize()) {
        MessageBoxA(nullptr, "Unable to initialize application.\nProgram aborted.", "Error", MB_ICONERROR);
        finishResets();
        return -1;
    }

    application->backgroundBrush.reset(CreateSolidBrush(RGB(0, 0, 0)));
    HACCEL accelerators = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(application->menuId));
    registerRawMouseInput(mainWindow.load());

    BOOL lowMemory = FALSE;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        passOnLowMemory(*application, lowMemory);
    }

    finishResets();
    unloadProductLibrary(application->libraryHandle);
    if (crashReporting)
        uninstallCrashReporting();
    application.reset();
    return static_cast<int>(message.wParam);
}
