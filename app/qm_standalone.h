#pragma once
// The host's one application object: the launch parameters of the current
// run, the main window's identity, where the product library lives and its
// handle, the client size. The main window's user data points to it.
#include <windows.h>

#include <string>

#include "preload_table.h"
#include "qm/launch_parameters.h"
#include "resource.h"
#include "unique_handle.h"

class QMLoopDelegateWin32;

class QMStandAlone {
public:
    using QMLoopDelegateWin32 = ::QMLoopDelegateWin32;  // the host services handed to the product

    QMStandAlone(HINSTANCE instance, const std::wstring& windowTitle);
    ~QMStandAlone();
    QMStandAlone(const QMStandAlone&) = delete;
    QMStandAlone& operator=(const QMStandAlone&) = delete;

    // Takes a parsed record over (a copy): log mask, owner window, the
    // owner-notification function and, while there is no window yet, the
    // window-class name follow it.
    void applyParameters(const qm::LaunchParameters& record);

    // Registry configuration, staged folder, main window, update check.
    bool initialize();
    // Creates the hidden main window, or refreshes the size of the existing one.
    bool createWindow();
    // Restarts the product with new parameters; runs on a reset worker.
    void _reset(const char* text);

    // The application object stored in the window's user data, if any.
    static QMStandAlone* fromWindow(HWND window);

    HINSTANCE instance;
    UniqueKernelHandle lowMemoryNotification;
    std::wstring windowTitle;
    std::wstring windowClassName;
    int iconId = IDI_HOST_ICON;
    int smallIconId = IDI_HOST_SMALL_ICON;
    int menuId = IDR_HOST_MENU;
    qm::LaunchParameters params;
    std::string libraryFileName = kDefaultProductLibraryFile;
    HMODULE libraryHandle = nullptr;  // released through unloadProductLibrary only
    int showCommand = SW_SHOW;
    std::string libraryDirectory;
    unsigned int width = 640;
    unsigned int height = 480;
    UniqueGdiObject backgroundBrush;
};

constexpr const wchar_t* kWindowTitle = L"Quorvel Meet";
