#pragma once
// The update check behind qmUpdateSystem: finds the feed, reads its
// manifest and keeps the answer until the host asks for it.
#include "qm/launch_parameters.h"
#include "update_feed.h"

namespace qo {

// The feed folder: the "update_feed" launch parameter when it names an
// acceptable local folder, else the installation's staging folder
// (updateFilePath of HKLM\SOFTWARE\Quorvel\<product>\<state>).
FeedOrigin findFeed(const qm::LaunchParameters& parameters);

// Reads the manifest of `origin` (at most kFeedMaxBytes) and decides.
UpdateAnswer checkForUpdate(const qm::LaunchParameters& parameters);

}  // namespace qo
