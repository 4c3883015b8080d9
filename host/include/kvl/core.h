// Services of the host's core library: machine name, schema helper, logger.
#pragma once

#include <string>

#include <boost/shared_ptr.hpp>

#include "kvl/export.h"
#include "kvl/interfaces.h"

namespace NQRXKVL20 {

class KVLCORE_API TOSSpecific {
public:
    static std::string GetMachineName();
    // The name GetMachineName reports from now on; empty restores the
    // machine's own name.
    static void SetMachineName(const std::string& name);
};

class KVLCORE_API TCIMSchemaHelper {
public:
    static const char* const kContextName;
    static const char* const kPluginNSPName;
    static std::string GetSystemCreationClassName(boost::shared_ptr<ICIMNamespace> ns);
    static std::string GetSystemName(boost::shared_ptr<ICIMNamespace> ns);
};

}  // namespace NQRXKVL20
