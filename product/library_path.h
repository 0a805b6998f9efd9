#pragma once
// Where a library file lies in the library directory, and loading it from
// exactly there.
#include <string>

#include "unique_handle.h"

// The path of a library file in a directory, with backslashes only. An
// empty directory gives the bare file name (the system's search path then
// applies). A trailing slash is not taken for a separator: C:/x/ and a.dll
// give C:\x\\a.dll.
std::string joinLibraryPath(const std::string& directory, const std::string& fileName);

// Loads a library by path; its own dependencies are looked for in its
// directory first. GetLastError tells why when the result is empty.
UniqueModule loadLibraryFile(const std::string& path);
