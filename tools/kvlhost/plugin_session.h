// One life of the plug-in: load, collect, query, clean up, destroy.
#pragma once

#include <string>
#include <vector>

#include "format.h"
#include "kvl/hub.h"

namespace kvlhost {

// Loads the plug-in from `path`, whose attach step registers it with
// `manager`, and asks it for `classes` in order, one query per class. Each
// instance it commits goes to `writer` as it is committed and is let go
// of then. A writer that needs lookahead is first shown the associations
// that will be written after other classes, from queries whose instances
// are not written. Cleanup and Destroy run also after a failed collection
// or query. Throws RunFailure (kExitFailed) naming the step that failed.
void RunPluginSession(NQRXKVL20::TPluginManagerNamespace& manager, const std::string& path,
                      const std::vector<std::string>& classes, InstanceWriter& writer);

}  // namespace kvlhost
