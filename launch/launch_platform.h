#pragma once
// What the launch-parameter code needs from the system, handed in by its
// caller so that the parsers stay portable and testable.
#include <string>

#include "qm/launch_parameters.h"

namespace qm {

class LaunchPlatform {
public:
    // Shows a modal warning about a bad launch parameter and returns once the
    // user has closed it.
    virtual void showWarning(const std::string& text) const = 0;
    // Whether the handle names an existing window of the user's desktop.
    virtual bool isWindow(WindowHandle handle) const = 0;
    // The ISO 639 name of the user's language ("en", "es"), or an empty text
    // when the system cannot tell.
    virtual std::string userLanguage() const = 0;

protected:
    ~LaunchPlatform() = default;
};

#ifdef _WIN32
// The host's: warning boxes with MessageBoxA, IsWindow, the locale's language.
const LaunchPlatform& windowsLaunchPlatform();
#endif

}  // namespace qm
