#pragma once
// Loading the product library behind the please-wait dialog, and unloading it.
#include <windows.h>

#include <string>

// Preloads the preload table from `directory` while the please-wait dialog
// shows progress, then loads `name`.dll from there, else `fallbackFileName`
// (a name that is not a plain file name is never tried). The host's
// references to the preloaded libraries are dropped again before it
// returns. Returns the product library, or null (logged). The caller owns
// the module and gives it back through unloadProductLibrary.
HMODULE loadProductLibrary(const std::string& name, const std::string& fallbackFileName,
                           const std::string& directory);

// Makes every entry-point binding unbound, waits until no call is left in
// the library, then releases it. A null module only unbinds.
void unloadProductLibrary(HMODULE module);
