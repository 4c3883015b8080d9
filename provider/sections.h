// The sections of the query handler, one per served class that yields
// instances.
#pragma once

#include "provider/query_context.h"

namespace linkscope::provider {

using Section = void (*)(QueryContext& query);

void ServeIpService(QueryContext& query);
void ServeVirtualPorts(QueryContext& query);
void ServePhysicalPorts(QueryContext& query);
void ServeIpEndpoints(QueryContext& query);
void ServePortImplementsEndpoint(QueryContext& query);

}  // namespace linkscope::provider
