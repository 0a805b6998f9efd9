#pragma once
// Fills a launch-parameter record from an argument text: a command line of
// parameters ("-key value", "-key \"quoted value\"") or a universal URL.
#include <string>
#include <vector>

#include "launch_platform.h"
#include "qm/launch_parameters.h"

namespace qm {

// The extras keys that survive a new parse of a record (at a reset), compared
// ignoring the case of ASCII letters.
extern const char* const keptExtraKeys[5];

// A text holding "://" anywhere is a universal URL; anything else a command
// line. Reads `text` up to its first byte 0; null counts as empty. Never fails:
// bad values are told through platform warnings and the parse goes on.
void parseLaunchText(LaunchParameters& record, const char* text, const LaunchPlatform& platform);

// Prunes the extras to keptExtraKeys, then records and applies each parameter
// in the order given; fills `language` from the user's locale when no
// parameter set it.
void parseCommandLine(LaunchParameters& record, const char* text, const LaunchPlatform& platform);

// Writes separate arguments (a program's argv) as one command line that
// parseCommandLine reads one argument per token, as given: an argument that
// is empty or holds a separator (space, tab, line feed) goes in quotes, any
// other as it is, quotes and all. False, leaving `text` as it was, when an
// argument holds both a separator and a quote: no command line carries it.
bool joinLaunchArguments(const std::vector<std::string>& arguments, std::string& text);

}  // namespace qm
