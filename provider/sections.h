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
void ServeFirmwareElements(QueryContext& query);
void ServePortImplementsEndpoint(QueryContext& query);
void ServeDeviceFirmware(QueryContext& query);
void ServeSpareGroups(QueryContext& query);
void ServeNetworkingGroups(QueryContext& query);
void ServeNetworkingPortComponents(QueryContext& query);
void ServeActsAsSpare(QueryContext& query);
void ServeRedundancyComponents(QueryContext& query);
void ServeRedundancyGroupComponents(QueryContext& query);

}  // namespace linkscope::provider
