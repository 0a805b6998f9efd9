#include <windows.h>

#include <cstdio>

#include "debug_log.h"
#include "entry_points.h"
#include "full_screen.h"
#include "host_state.h"
#include "qm_standalone.h"

namespace {

const char* const kTabletProperty = "MicrosoftTabletPenServiceProperty";
// TABLET_DISABLE_PRESSANDHOLD
constexpr ULONG_PTR kTabletDisablePressAndHold = 1;

std::string narrowForLog(const std::wstring& text) {
    char buffer[128] = {};
    if (wcstombs(buffer, text.c_str(), sizeof buffer - 1) == static_cast<size_t>(-1))
        buffer[0] = '\0';
    return buffer;
}

// No press-and-hold right click for pen and touch, and touch messages when
// the system has them (looked up at run time: older systems do not).
void prepareForPenAndTouch(HWND window) {
    if (GlobalAddAtomA(kTabletProperty) == 0)
        return;
    if (SetPropA(window, kTabletProperty, reinterpret_cast<HANDLE>(kTabletDisablePressAndHold)) != 1)
        return;
    UniqueModule user32(LoadLibraryA("User32.dll"));
    if (!user32)
        return;
    using RegisterTouchWindowFn = BOOL(WINAPI*)(HWND, ULONG);
    if (auto registerTouch = reinterpret_cast<RegisterTouchWindowFn>(
            reinterpret_cast<void*>(GetProcAddress(user32.get(), "RegisterTouchWindow"))))
        registerTouch(window, 0);
}

}  // namespace

bool QMStandAlone::createWindow() {
    bool fullScreen = queryEntryPoint(entryPoints.qmIsFullScreen, 0) > 0;
    int x = -1;
    int y = -1;

    const std::string* resolution = params.findExtra("resolution");
    if (resolution && !resolution->empty()) {
        int fields[4] = {};
        const int read = std::sscanf(resolution->c_str(), "%dx%d|%dx%d", &fields[0], &fields[1],
                                     &fields[2], &fields[3]);
        if (read >= 1) width = static_cast<unsigned int>(fields[0]);
        if (read >= 2) height = static_cast<unsigned int>(fields[1]);
        if (read >= 3) x = fields[2];
        if (read >= 4) y = fields[3];
        fullScreen = read >= 2 ? false : *resolution == "fullscreen";
    } else {
        width = GetSystemMetrics(SM_CXSCREEN) * 8 / 10;
        height = GetSystemMetrics(SM_CYSCREEN) * 8 / 10;
    }

    HWND window = mainWindow.load();
    if (!window) {
        debugLog(kLogDebug, "QMStandAlone::createWindow:%s,%s", narrowForLog(windowClassName).c_str(),
                 narrowForLog(windowTitle).c_str());
        const unsigned int screenWidth = GetSystemMetrics(SM_CXSCREEN);
        const unsigned int screenHeight = GetSystemMetrics(SM_CYSCREEN);
        // Unsigned on purpose: a negative size counts as larger than the screen.
        if (width >= screenWidth) {
            width = screenWidth;
            x = 0;
        }
        if (height >= screenHeight) {
            height = screenHeight;
            y = 0;
        }
        RECT outer = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
        AdjustWindowRect(&outer, kFramedWindowStyle, FALSE);
        const int w = outer.right - outer.left;
        const int h = outer.bottom - outer.top;
        if (x < 0) x = (static_cast<int>(screenWidth) - w) / 2;
        if (y < 0) y = (static_cast<int>(screenHeight) - h) / 4;

        window = CreateWindowExW(0, windowClassName.c_str(), windowTitle.c_str(), kFramedWindowStyle, x, y,
                                 w, h, nullptr, nullptr, instance, nullptr);
        if (window && fullScreen)
            switchFullScreen(window, true, width, height);
        RECT client;
        if (window && GetClientRect(window, &client)) {
            width = client.right;
            height = client.bottom;
        }
        mainWindow.store(window);

        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        if (fromWindow(window) != this)
            debugLog(kLogError, "Unable to set GWL_USERDATA");
        if (!params.title.empty())
            SetWindowTextA(window, params.title.c_str());
        if (!ChangeWindowMessageFilter(WM_COPYDATA, MSGFLT_ADD))
            debugLog(kLogWarning, "Unable to filter WM_COPYDATA!");
    } else {
        RECT client;
        if (GetClientRect(window, &client)) {
            width = client.right;
            height = client.bottom;
        }
    }

    prepareForPenAndTouch(window);
    return IsWindow(window) == TRUE;
}
