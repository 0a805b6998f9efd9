#pragma once
// Paths of the updater hand-off, built from texts only.
#include <string>

// The path up to and including its last backslash or, without one, its last
// slash; empty when there is no separator or only one at the first position.
std::string directoryOfPath(const std::string& path);

// `name` inside `directory`, with a backslash between them unless the
// directory is empty or already ends in a separator.
std::string fileInDirectory(const std::string& directory, const char* name);

// True when `name` can only name one folder inside another: not empty, not
// "." or "..", no separator, colon, wildcard, quote, angle bracket, bar or
// control character.
bool isPlainFolderName(const char* name);

// <commonAppData>\Quorvel\<product>\qmUpdater.log; empty when the product is
// not a plain folder name.
std::string updaterLogPath(const std::string& commonAppData, const char* product);

// The host's command line with the current directory put in front of a
// command that names no drive (holds no colon): a leading quote stays in
// front, so "host.exe" -a started in C:\Q becomes "C:\Q\host.exe" -a.
std::string completeCommandLine(const std::string& command, const char* currentDirectory);
