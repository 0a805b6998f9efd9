#pragma once

// Copies qmUpdater.exe from the host's directory into the temporary folder and
// starts the copy elevated with the update's parameter text. Refuses values
// that would add or change one of the updater's arguments. True when the
// updater started.
bool updateEXE(const char* product, const char* productName, const char* src,
               const char* dst, const char* cmd);
