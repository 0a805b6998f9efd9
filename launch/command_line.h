#pragma once
// Fills a launch-parameter record from an argument text: a command line of
// parameters ("-key value", "-key \"quoted value\"") or a universal URL.
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

}  // namespace qm
