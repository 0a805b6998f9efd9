#pragma once
// Paths of the updater hand-off, built from texts only.
#include <string>

// The path up to and including its last backslash or, without one, its last
// slash; empty when there is no separator or only one at the first position.
std::string directoryOfPath(const std::string& path);

// `name` inside `directory`, with a backslash between them unless the
// directory is empty or already ends in a separator.
std::string fileInDirectory(const std::string& directory, const char* name);

// <commonAppData>\Quorvel\<product>\qmUpdater.log; empty when the product is
// null or not a plain file name (one folder, see plain_file_name.h).
std::string updaterLogPath(const std::string& commonAppData, const char* product);

// The host's command line with the current directory put in front of a
// command that names no drive (holds no colon): a leading quote stays in
// front, so "host.exe" -a started in C:\Q becomes "C:\Q\host.exe" -a.
std::string completeCommandLine(const std::string& command, const char* currentDirectory);
