#include <userenv.h>
#include <wtsapi32.h>

#include <vector>

#include "host_launch.h"
#include "logging/logger.h"
#include "unique_handle.h"

namespace {

void destroyEnvironmentBlock(void* block) { DestroyEnvironmentBlock(block); }
using UniqueEnvironmentBlock = UniqueHandle<NullInvalidTraits<void*, destroyEnvironmentBlock>>;

// The interactive desktop of a session.
char kUserDesktop[] = "winsta0\\default";

}  // namespace

bool startHostAsConsoleUser(const char* who, const HostStart& start, PROCESS_INFORMATION& process) {
    const DWORD session = WTSGetActiveConsoleSessionId();
    logging::Logger::getLogger()->warnf("%s: starting the host as the user of console session %lu", 2, who,
                                        session);
    HANDLE userToken = nullptr;
    if (!WTSQueryUserToken(session, &userToken))
        return false;  // nobody at the console to show the host to
    UniqueKernelHandle token(userToken);
    void* block = nullptr;
    // Without the user's own environment the host still runs, with the service's.
    UniqueEnvironmentBlock environment(CreateEnvironmentBlock(&block, token.get(), FALSE) ? block : nullptr);
    std::vector<char> commandLine(start.commandLine.begin(), start.commandLine.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = kUserDesktop;
    return CreateProcessAsUserA(token.get(), start.program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                environment ? CREATE_UNICODE_ENVIRONMENT : 0, environment.get(),
                                start.directory.c_str(), &startup, &process) != FALSE;
}
