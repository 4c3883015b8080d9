// One life of the plug-in: load, collect, query, clean up, destroy.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "format.h"
#include "kvl/hub.h"

namespace kvlhost {

// A machine description the plug-in is to collect from: its text and how
// messages name it.
struct MachineDescription {
    std::string text;
    std::string origin;
};

// Checks that `path` is a whole library and loads the plug-in from it,
// whose attach step registers it with `manager`. Hands `machine`, when
// given, to the plug-in's machine set-up export and lets go of its text (a
// plug-in without that export, or a description it refuses, is a
// RunFailure of kExitUsage). Then asks it for `classes` in order, one query
// per class. Each instance it commits goes to `writer` as it is committed
// and is let go of then. A writer that needs lookahead is first shown the
// associations that will be written after other classes, queried once
// before the output starts and written from what was kept of them when
// their turn comes. Cleanup and Destroy run also after a failed collection
// or query. Throws RunFailure (kExitFailed) naming the step that failed.
void RunPluginSession(NQRXKVL20::TPluginManagerNamespace& manager, const std::string& path,
                      std::optional<MachineDescription> machine, const std::vector<std::string>& classes, InstanceWriter& writer);

}  // namespace kvlhost
