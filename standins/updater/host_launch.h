#pragma once
// Starting the host again once it is updated, where its user sees it.
#include <windows.h>

#include <string>

enum class HostSession {
    // The updater's own: the elevated executable runs in the user's session.
    Current,
    // The user's at the console: a service runs on a window station of its
    // own that no user sees, so the host is started there as that user.
    ConsoleUser,
};

// Starts `command` in `directory` (empty: the updater's own). False, with
// GetLastError, when it did not start; otherwise `process` holds handles
// the caller closes.
bool startHost(HostSession session, const std::string& command, const std::string& directory,
               PROCESS_INFORMATION& process);
