#include "launch_platform.h"

#include <windows.h>

namespace qm {
namespace {

class WindowsLaunchPlatform final : public LaunchPlatform {
public:
    void showWarning(const std::string& text) const override {
        // No owner: at start-up there is no window yet, and at a reset the
        // box blocks the reset worker, not the main window.
        MessageBoxA(nullptr, text.c_str(), "Warning", MB_ICONWARNING);
    }

    bool isWindow(WindowHandle handle) const override { return IsWindow(handle) != FALSE; }

    std::string userLanguage() const override {
        char name[8] = {};
        if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, name, sizeof name) == 0)
            return {};
        return name;
    }
};

}  // namespace

const LaunchPlatform& windowsLaunchPlatform() {
    static const WindowsLaunchPlatform platform;
    return platform;
}

}  // namespace qm
