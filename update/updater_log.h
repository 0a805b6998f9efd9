#pragma once
// The updater hand-off's own file log, written through the engine's logging
// library; it has nothing to do with the diagnostic log.

// Attaches <common application data>\Quorvel\<product>\qmUpdater.log to the
// process-wide logger. Does nothing when the product is null or cannot be a
// folder name (it comes from the launch parameters), or when the common
// application data folder is unknown.
void setupUpdaterLog(const char* product);
