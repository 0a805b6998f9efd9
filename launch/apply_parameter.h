#pragma once
// Turns one parsed parameter into fields of a launch-parameter record,
// warning the user about empty or malformed values.
#include <string>
#include <string_view>
#include <vector>

#include "launch_platform.h"
#include "qm/launch_parameters.h"

namespace qm {

// Applies `key` (exact bytes, case matters) with `value`. A bad value shows a
// warning and leaves the field concerned as it was; it never stops a parse.
void applyParameter(LaunchParameters& record, const std::string& key, const std::string& value,
                    const LaunchPlatform& platform);

// The pieces of a positioning list: split at commas, empty pieces dropped,
// the others kept exactly (spaces included).
std::vector<std::string> splitList(std::string_view value);

}  // namespace qm
