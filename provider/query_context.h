// What every section of a query works with.
#pragma once

#include <boost/shared_ptr.hpp>

#include "collect/adapters_info.h"
#include "collect/network_params.h"
#include "kvl/interfaces.h"
#include "teams/teams.h"

namespace linkscope::provider {

// The collected objects a query reads; any of them is null before the
// first collection and after cleanup, and sections then answer nothing.
struct CollectedData {
    const NetworkParams* networkParams = nullptr;
    const AdaptersInfo* adapters = nullptr;
    const Teams* teams = nullptr;
};

struct QueryContext {
    boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns;
    // {kContextName: kPluginNSPName}; copied into each GetClass lookup.
    NQRXKVL20::TCIMPropertyMap lookupContext;
    // The requested class; every instance is created from it.
    boost::shared_ptr<NQRXKVL20::ICIMClass> requestedClass;
    // The instance being built, replaced by each new one.
    boost::shared_ptr<NQRXKVL20::ICIMInstance> current;
    CollectedData data;
};

}  // namespace linkscope::provider
