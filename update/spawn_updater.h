#pragma once

// Hands the update over to the product's updater service or, failing that, to
// the elevated qmUpdater.exe, with the host's command line as the command that
// restarts it. When an updater started the process ends here with exit code
// 0; otherwise the failure is logged and the result is false. Main thread.
//
// The updater log is set up for this call only when the logging library's
// logger has no appender yet, and then detached again before it ends.
bool spawnUpdater(const char* product, const char* productName, const char* src,
                  const char* dst);
