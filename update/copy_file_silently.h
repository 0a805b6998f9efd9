#pragma once

// Copies one file with the shell, without any dialog; slashes in either path
// are taken as backslashes. True when the copy succeeded.
bool copyFileSilently(const char* from, const char* to);
