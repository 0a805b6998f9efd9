#pragma once
// Starting the installed host again once the update is over, where its user
// sees it and with that user's own rights, never the updater's.
#include <windows.h>

#include <string>

struct HostStart {
    std::string program;      // full path of the installed host
    std::string commandLine;  // the program, quoted, and its arguments
    std::string directory;
};

// Starts the host; false, with GetLastError, when it did not start.
// Otherwise `process` holds handles the caller closes. Each way logs the
// token it takes, with `who` in front.
using HostStarter = bool (*)(const char* who, const HostStart& start, PROCESS_INFORMATION& process);

// The service's way: it runs on a window station of its own that no user
// sees, so the host is started on the console's desktop as the user logged
// on there.
bool startHostAsConsoleUser(const char* who, const HostStart& start, PROCESS_INFORMATION& process);

// The elevated updater's way: as the user of the desktop's shell, with that
// user's normal token; an updater that is not elevated uses its own token,
// which is that already. An elevated updater that finds no shell does not
// start the host at all.
bool startHostAsDesktopUser(const char* who, const HostStart& start, PROCESS_INFORMATION& process);
