#include "desktop_user_token.h"

namespace {

constexpr DWORD kPrimaryAccess =
    TOKEN_QUERY | TOKEN_DUPLICATE | TOKEN_ASSIGN_PRIMARY | TOKEN_ADJUST_DEFAULT | TOKEN_ADJUST_SESSIONID;

UniqueKernelHandle primaryCopy(HANDLE token) {
    HANDLE duplicate = nullptr;
    if (!DuplicateTokenEx(token, kPrimaryAccess, nullptr, SecurityImpersonation, TokenPrimary, &duplicate))
        return UniqueKernelHandle();
    return UniqueKernelHandle(duplicate);
}

UniqueKernelHandle shellToken(DWORD& shellProcess) {
    shellProcess = 0;
    const HWND shell = GetShellWindow();
    if (!shell || !GetWindowThreadProcessId(shell, &shellProcess) || shellProcess == 0) {
        SetLastError(ERROR_NOT_FOUND);
        return UniqueKernelHandle();
    }
    const UniqueKernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, shellProcess));
    HANDLE opened = nullptr;
    if (!process || !OpenProcessToken(process.get(), TOKEN_DUPLICATE, &opened))
        return UniqueKernelHandle();
    const UniqueKernelHandle token(opened);
    return primaryCopy(token.get());
}

UniqueKernelHandle linkedToken(HANDLE ownToken) {
    TOKEN_LINKED_TOKEN linked = {};
    DWORD size = 0;
    if (!GetTokenInformation(ownToken, TokenLinkedToken, &linked, sizeof linked, &size))
        return UniqueKernelHandle();
    const UniqueKernelHandle token(linked.LinkedToken);
    return primaryCopy(token.get());
}

}  // namespace

DesktopUserToken desktopUserToken(HANDLE ownToken) {
    DesktopUserToken found;
    found.token = shellToken(found.shellProcess);
    if (found.token) {
        found.origin = UserTokenOrigin::DesktopShell;
        return found;
    }
    found.token = linkedToken(ownToken);
    if (found.token)
        found.origin = UserTokenOrigin::LinkedToken;
    return found;
}
