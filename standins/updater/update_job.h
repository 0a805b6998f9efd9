#pragma once
// The work both stand-in updaters do: wait for the host to end, copy the
// staged files into place, start the host again. Every step goes to the
// product's updater log through the process-wide logger.
#include "host_launch.h"
#include "updater_request.h"

// `who` starts every log line; the host starts again in `session`. True when
// the files were copied and the host started again.
bool runUpdateJob(const char* who, HostSession session, const UpdaterRequest& request);
