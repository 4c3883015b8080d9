// The query handler: answers the host's instance queries from the
// collected objects.
#pragma once

#include <vector>

#include <boost/shared_ptr.hpp>

#include "kvl/interfaces.h"
#include "provider/query_context.h"

namespace linkscope::provider {

// For each requested class in order, serves the first row of the served
// classes whose name equals the class's name exactly; unserved names yield
// nothing. A host exception from a section ends the query; instances
// committed before it stay with the host.
void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns,
                    const std::vector<boost::shared_ptr<NQRXKVL20::ICIMClass>>& classes, const CollectedData& data);

// The served class names, in the order names are compared.
std::vector<const char*> ServedClassNames();

}  // namespace linkscope::provider
