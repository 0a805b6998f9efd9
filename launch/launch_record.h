#pragma once
// The host's operations on a launch-parameter record; the record itself is
// the product library's public declaration.
#include <string>
#include <string_view>

#include "qm/launch_parameters.h"

namespace qm {

// The application's record before any parameter: product "quorvelmeet",
// state "production", client "QUORVELMEET".
LaunchParameters defaultLaunchParameters();

// A record for a reset: product, state, language, both clients, owner and the
// extras (less the first "positionTool" and "scene") come from `current`;
// title, token, scene, visit mode and the positioning block start over.
LaunchParameters carryOver(const LaunchParameters& current);

// Removes the first extra whose key is exactly `key`; false when none is.
bool removeExtra(LaunchParameters& record, std::string_view key);

// Appends the record's one-line description, e.g.
// "{product=quorvelmeet,state=production,client=QUORVELMEET,visitMode=1}".
void describe(const LaunchParameters& record, std::string& out);

}  // namespace qm
