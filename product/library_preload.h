#pragma once
// Loading the preload table ahead of the product library, with progress on
// the please-wait dialog when one is up, and dropping the host's references
// to those libraries again.
#include <string>

// Loads every row of the table from the directory, in order. A row that
// fails is logged and skipped.
void preloadLibraries(const std::string& directory);

// Releases every row that holds a library; afterwards all rows are empty.
void releasePreloadedLibraries();
