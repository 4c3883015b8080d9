// One life of the plug-in: load, collect, query, clean up, destroy.
#pragma once

#include <string>
#include <vector>

#include "format.h"
#include "kvl/hub.h"

namespace kvlhost {

// Loads the plug-in from `path`, whose attach step registers it with
// `manager`, and asks it for `classes` in order, one query per class.
// Returns what it committed, in commit order. Cleanup and Destroy run also
// after a failed collection or query. Throws RunFailure (kExitFailed) naming
// the step that failed.
InstanceList RunPluginSession(NQRXKVL20::TPluginManagerNamespace& manager,
                              const std::string& path, const std::vector<std::string>& classes);

}  // namespace kvlhost
