#include "scripted_launch_platform.h"

#include <algorithm>

#include "window_handle_number.h"

namespace qm {

void ScriptedLaunchPlatform::showWarning(const std::string& text) const {
    warnings.push_back(text);
}

bool ScriptedLaunchPlatform::isWindow(WindowHandle handle) const {
    return handle != nullptr &&
           std::find(windows.begin(), windows.end(), windowHandleNumber(handle)) != windows.end();
}

std::string ScriptedLaunchPlatform::userLanguage() const {
    return language;
}

}  // namespace qm
