// The host's root object: the way to the plug-in manager and the core logger.
#pragma once

#include <boost/shared_ptr.hpp>

#include "kvl/export.h"
#include "kvl/interfaces.h"
#include "kvl/logger.h"

namespace NQRXKVL20 {

class TRootObject {
public:
    // The host's one plug-in manager, which is also the CIM namespace that
    // the host queries plug-ins with.
    KVLHUB_API static boost::shared_ptr<ICIMNamespace> GetPluginManager();
    KVLCORE_API static ILogger* GetCoreLogger();
    // The concrete logger behind GetCoreLogger, for the host's own use.
    KVLCORE_API static TCoreLogger& CoreLogger();
};

}  // namespace NQRXKVL20
