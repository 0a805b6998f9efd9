#pragma once
// The reason of the last failed call, kept for the caller to ask for.
#include <string>

void setLastErrorText(const std::string& text);
// Copies the text as the last-error operation promises (see crash_reporter.h).
int copyLastErrorText(char* buffer, unsigned int size);
