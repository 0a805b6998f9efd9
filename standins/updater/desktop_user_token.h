#pragma once
// The normal, unelevated token of the user an elevated updater works for.
#include <windows.h>

#include "unique_handle.h"

enum class UserTokenOrigin {
    None,
    // That of the process behind the desktop's shell window: the user whose
    // desktop shows, even when an administrator approved the elevation.
    DesktopShell,
    // The limited half of the updater's own split token, when there is no
    // shell: the same user before the elevation.
    LinkedToken,
};

struct DesktopUserToken {
    UniqueKernelHandle token;  // primary, to start a process with
    UserTokenOrigin origin = UserTokenOrigin::None;
    DWORD shellProcess = 0;
};

// None, with GetLastError, when neither token can be had.
DesktopUserToken desktopUserToken(HANDLE ownToken);
