#pragma once
// What the benchmarks' floor programs share: the least a program does to
// show a window and to load the libraries the way the host does.
#include <windows.h>

#include <string>

#include "unique_handle.h"

// The folder of the running program: the libraries lie next to it, as the
// host's lie in its installation's library folder.
std::string programDirectory();

// A plain 1280 x 720 top-level window of a class of its own, not yet shown;
// empty when it cannot be made.
UniqueWindow createFloorWindow(HINSTANCE instance, const char* className);

// The host's preload table, then the test product's library, from
// `directory` with the host's loader and no dialog; the preloaded libraries
// are released again. Empty when the product library did not load.
UniqueModule loadTestProduct(const std::string& directory);

// The test product loaded `loads` times in a row, the previous load released
// before the next, as the host loads it for the update check and again for
// the start. Empty when a load failed.
UniqueModule loadTestProductTimes(const std::string& directory, int loads);

// How many times a floor loads the libraries for one start: the count of
// "--loads N" in its command line, 1 to 10; 1 without it.
int loadsInCommandLine(const char* commandLine);
