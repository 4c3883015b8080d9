// The sections of the query handler, one per served class that yields
// instances.
#pragma once

#include "provider/query_context.h"

namespace linkscope::provider {

using Section = void (*)(QueryContext& query);

void ServeIpService(QueryContext& query);

}  // namespace linkscope::provider
