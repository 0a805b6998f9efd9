#pragma once
// Copies a logged text into a line being built, cut to fit. Line breaks are
// written as \r and \n, so that one logged text stays one line of the file
// whatever values it carries.
#include <cstddef>

namespace logging {

// Appends `text` at buffer[used], never writing past buffer[size - 2] (room
// for the line feed and the NUL); returns the new length.
std::size_t appendLineText(char* buffer, std::size_t used, std::size_t size, const char* text);

}  // namespace logging
