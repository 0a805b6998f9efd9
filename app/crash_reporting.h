#pragma once
// Crash reports through CrashRpt1403.dll, imported by ordinal.

// Installs the reporter with the host's record and attaches the log file
// and the main window's screenshot to every report. A failed install prints
// the reporter's reason on standard output and the run goes on.
void installCrashReporting();
void uninstallCrashReporting();
