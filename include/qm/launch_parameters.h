#pragma once
// TEMPORARY: the launch-parameter record is being written in launch/; this
// file is replaced by its public declaration.
#include <string>
#include <utility>
#include <vector>
namespace qm {
struct LaunchParameters;
}
