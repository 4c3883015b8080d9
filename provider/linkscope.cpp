#include "provider/linkscope.h"

#include <cstring>
#include <exception>

#include "kvl/core.h"
#include "provider/class_names.h"
#include "provider/sections.h"

namespace linkscope::provider {
namespace {

using NQRXKVL20::TCIMPropertyMap;

struct ServedClass {
    const char* name;
    Section section;  // null: recognised, answered with no instance
};

const ServedClass kServedClasses[] = {
    {"QRXSG_IPService", &ServeIpService},
    {"QRXSG_NetworkPort", nullptr},
    {kVirtualPortClass, &ServeVirtualPorts},
    {kPhysicalPortClass, &ServePhysicalPorts},
    {kEndpointClass, &ServeIpEndpoints},
    {kFirmwareElementClass, &ServeFirmwareElements},
    {kSpareGroupClass, &ServeSpareGroups},
    {kNetworkingGroupClass, &ServeNetworkingGroups},
    {kPortImplementsEndpointClass, &ServePortImplementsEndpoint},
    {"QRXSG_BcmDeviceFirmware", &ServeDeviceFirmware},
    {kNetworkingPortComponentClass, &ServeNetworkingPortComponents},
    {kActsAsSpareClass, &ServeActsAsSpare},
    {kRedundancyComponentClass, &ServeRedundancyComponents},
    {kRedundancyGroupComponentClass, &ServeRedundancyGroupComponents},
    {"QRXSG_NetworkStatisticalData", nullptr},
    {"QRXSG_NetworkPortStatistics", nullptr},
    {"QRXSG_RouteUsesEndpoint", nullptr},
    {"QRXSG_NextHopIPRoute", nullptr},
};

// The schema helpers are asked for the system keys, though the instances
// take theirs from constants and the machine name; a failure there must not
// stop the query.
void TouchSchemaHelpers(const boost::shared_ptr<NQRXKVL20::ICIMNamespace>& ns) {
    try {
        NQRXKVL20::TCIMSchemaHelper::GetSystemCreationClassName(ns);
        NQRXKVL20::TCIMSchemaHelper::GetSystemName(ns);
    } catch (const std::exception&) {
    }
}

}  // namespace

void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns,
                    const std::vector<boost::shared_ptr<NQRXKVL20::ICIMClass>>& classes, const CollectedData& data) {
    QueryContext query;
    query.ns = ns;
    query.lookupContext[NQRXKVL20::TCIMSchemaHelper::kContextName] =
        NQRXKVL20::TCIMValue(NQRXKVL20::TCIMSchemaHelper::kPluginNSPName);
    query.data = data;

    TouchSchemaHelpers(ns);

    for (const boost::shared_ptr<NQRXKVL20::ICIMClass>& requested : classes) {
        for (const ServedClass& served : kServedClasses) {
            // The name is asked for anew at every comparison.
            if (requested->GetName(TCIMPropertyMap()) != served.name) continue;
            if (served.section) {
                query.requestedClass = requested;
                served.section(query);
            }
            break;
        }
    }
}

std::vector<const char*> ServedClassNames() {
    std::vector<const char*> names;
    for (const ServedClass& served : kServedClasses) names.push_back(served.name);
    return names;
}

}  // namespace linkscope::provider
