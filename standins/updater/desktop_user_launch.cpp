#include <vector>

#include "desktop_user_token.h"
#include "host_launch.h"
#include "logging/logger.h"
#include "unique_handle.h"

namespace {

logging::Logger* log() { return logging::Logger::getLogger(); }

std::wstring wide(const std::string& text) {
    if (text.empty())
        return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring converted(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &converted[0], length);
    return converted;
}

// Unknown counts as elevated: the careful way.
bool isElevated(HANDLE token) {
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return !GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) ||
           elevation.TokenIsElevated != 0;
}

bool startWithOwnToken(const HostStart& start, PROCESS_INFORMATION& process) {
    std::vector<char> commandLine(start.commandLine.begin(), start.commandLine.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(start.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          start.directory.c_str(), &startup, &process) != FALSE;
}

bool startWithToken(HANDLE token, const HostStart& start, PROCESS_INFORMATION& process) {
    const std::wstring program = wide(start.program);
    std::wstring commandLine = wide(start.commandLine);
    const std::wstring directory = wide(start.directory);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessWithTokenW(token, 0, program.c_str(), &commandLine[0], 0, nullptr, directory.c_str(),
                                   &startup, &process) != FALSE;
}

}  // namespace

bool startHostAsDesktopUser(const char* who, const HostStart& start, PROCESS_INFORMATION& process) {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened))
        return false;
    const UniqueKernelHandle ownToken(opened);
    if (!isElevated(ownToken.get())) {
        log()->warnf("%s: not elevated: the host starts with the updater's own token", 1, who);
        return startWithOwnToken(start, process);
    }
    const DesktopUserToken user = desktopUserToken(ownToken.get());
    switch (user.origin) {
    case UserTokenOrigin::DesktopShell:
        log()->warnf("%s: elevated: the host starts with the desktop user's token (shell process %lu)", 2, who,
                     user.shellProcess);
        break;
    case UserTokenOrigin::LinkedToken:
        log()->warnf("%s: elevated, no desktop shell: the host starts with the updater's linked unelevated token",
                     1, who);
        break;
    case UserTokenOrigin::None: {
        const DWORD error = GetLastError();
        log()->errorf("%s: elevated, and no unelevated token of the user (%lu): the host is not started", 2, who,
                      error);
        SetLastError(error);
        return false;
    }
    }
    return startWithToken(user.token.get(), start, process);
}
