#include "served_classes.h"

namespace kvlhost {

// Queried in this order by default, so the output lists the instances of
// one class together, class after class.
const std::vector<std::string>& ServedClasses() {
    static const std::vector<std::string> names = {
        "QRXSG_IPService",
        "QRXSG_NetworkPort",
        "QRXSG_VirtualNetworkPort",
        "QRXSG_PhysicalNetworkPort",
        "QRXSG_IPProtocolEndpoint",
        "QRXSG_BcmDeviceFirmwareElement",
        "QRXSG_SpareGroup",
        "QRXSG_VirtualNetworkingGroup",
        "QRXSG_PortImplementsEndpoint",
        "QRXSG_BcmDeviceFirmware",
        "QRXSG_VirtualNetworkingPortComponent",
        "QRXSG_ActsAsSpare",
        "QRXSG_RedundancyComponent",
        "QRXSG_VirtualNetworkingRedundancyGroupComponent",
        "QRXSG_NetworkStatisticalData",
        "QRXSG_NetworkPortStatistics",
        "QRXSG_RouteUsesEndpoint",
        "QRXSG_NextHopIPRoute",
    };
    return names;
}

}  // namespace kvlhost
