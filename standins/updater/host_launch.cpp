#include "host_launch.h"

#include <userenv.h>
#include <wtsapi32.h>

#include <vector>

#include "unique_handle.h"

namespace {

void destroyEnvironmentBlock(void* block) { DestroyEnvironmentBlock(block); }
using UniqueEnvironmentBlock = UniqueHandle<NullInvalidTraits<void*, destroyEnvironmentBlock>>;

// The interactive desktop of a session.
char kUserDesktop[] = "winsta0\\default";

}  // namespace

bool startHost(HostSession session, const std::string& command, const std::string& directory,
               PROCESS_INFORMATION& process) {
    std::vector<char> commandLine(command.begin(), command.end());
    commandLine.push_back('\0');
    const char* currentDirectory = directory.empty() ? nullptr : directory.c_str();
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (session == HostSession::Current)
        return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              currentDirectory, &startup, &process) != FALSE;

    HANDLE userToken = nullptr;
    if (!WTSQueryUserToken(WTSGetActiveConsoleSessionId(), &userToken))
        return false;  // nobody at the console to show the host to
    UniqueKernelHandle token(userToken);
    void* block = nullptr;
    // Without the user's own environment the host still runs, with the service's.
    UniqueEnvironmentBlock environment(CreateEnvironmentBlock(&block, token.get(), FALSE) ? block : nullptr);
    startup.lpDesktop = kUserDesktop;
    return CreateProcessAsUserA(token.get(), nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                                environment ? CREATE_UNICODE_ENVIRONMENT : 0, environment.get(),
                                currentDirectory, &startup, &process) != FALSE;
}
