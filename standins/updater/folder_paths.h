#pragma once
// Comparing full Windows paths as the file system does: letter case and
// trailing separators do not count. Both paths must already be full and
// tidied (no "." or ".." left), with backslashes.
#include <string>

bool isSameFolder(const std::string& a, const std::string& b);

// Whether `path` is `folder` itself or lies somewhere below it.
bool isSameOrInsideFolder(const std::string& folder, const std::string& path);
