#pragma once
// The work both stand-in updaters do: check the request against the
// installation, wait for the host to end, check the staged update's
// signature and files, write them into place, start the host again. Every
// step goes to the product's updater log through the process-wide logger.
#include "host_launch.h"
#include "updater_request.h"

// `who` starts every log line; `startHost` is the updater's way of starting
// the host as its user. True when the update was applied and the host
// started again.
bool runUpdateJob(const char* who, HostStarter startHost, const UpdaterRequest& request);
