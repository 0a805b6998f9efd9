#pragma once
// Who may do what with the updater service: the system and administrators
// as by default; interactive users may start it and do nothing else with it.
// A standard user so updates without an elevation prompt, and cannot steer
// the update: what the service does is decided by the installation's
// configuration and the update's signature, not by who started it.
#include <windows.h>

#include <vector>

// The self-relative security descriptor (its access list) the service is
// registered with; empty when it cannot be made.
std::vector<BYTE> updaterServiceSecurity();
