#pragma once
#include <string>

// The folder an earlier update staged for `client`: <staging>\<client>\lib,
// slashes turned into backslashes. Empty when there is no staging directory
// or the client is not a plain file name, so that nothing outside the
// staging directory can ever be named.
std::string stagedLibraryFolder(const std::string& stagingDirectory, const std::string& client);

// Removes the folder and everything below it, silently; the outcome is not
// an error either way.
void removeStagedLibraryFolder(const std::string& folder);
