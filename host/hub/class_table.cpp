// The host's schema as far as object paths need it: class names, keys and
// which classes are associations (the only ones that hold references).
// "CreationClassname" is spelled with a lower-case n, as the schema has it.
// Classes of other providers, such as the PCI devices, are known only where
// those providers are installed: whoever installs one defines its class.
#include "class_table.h"

#include <string>
#include <vector>

#include "kvl/hub.h"

namespace NQRXKVL20 {

namespace {

struct ClassKeys {
    const char* name;
    std::vector<std::string> keys;
    bool association = false;
};

std::vector<ClassKeys> HostClasses() {
    const std::vector<std::string> systemElement = {"SystemCreationClassName", "CreationClassname",
                                                    "SystemName", "Name"};
    const std::vector<std::string> systemDevice = {"SystemCreationClassName", "CreationClassname",
                                                   "SystemName", "DeviceID"};
    const std::vector<std::string> dependency = {"Antecedent", "Dependent"};
    const std::vector<std::string> component = {"GroupComponent", "PartComponent"};
    const std::vector<std::string> none;
    return {
        {"QRXSG_ComputerSystem", {"CreationClassName", "Name"}},
        {"QRXSG_IPService", systemElement},
        {"QRXSG_IPProtocolEndpoint", systemElement},
        {"QRXSG_NetworkPort", systemDevice},
        {"QRXSG_VirtualNetworkPort", systemDevice},
        {"QRXSG_PhysicalNetworkPort", systemDevice},
        {"QRXSG_BcmDeviceFirmwareElement",
         {"Name", "Version", "SoftwareElementID", "SoftwareElementState",
          "TargetOperatingSystem"}},
        {"QRXSG_SpareGroup", {"CreationClassname", "Name"}},
        {"QRXSG_VirtualNetworkingGroup", none},  // named by all its properties
        {"QRXSG_PortImplementsEndpoint", dependency, true},
        {"QRXSG_BcmDeviceFirmware", dependency, true},
        {"QRXSG_VirtualNetworkingPortComponent", component, true},
        {"QRXSG_RedundancyComponent", component, true},
        {"QRXSG_VirtualNetworkingRedundancyGroupComponent", component, true},
        {"QRXSG_ActsAsSpare", {"Group", "Spare"}, true},
        {"QRXSG_NetworkStatisticalData", none},
        {"QRXSG_NetworkPortStatistics", none, true},
        {"QRXSG_RouteUsesEndpoint", none, true},
        {"QRXSG_NextHopIPRoute", none},
    };
}

}  // namespace

void DefineHostClasses(TPluginManagerNamespace& ns) {
    for (const ClassKeys& entry : HostClasses()) ns.DefineClass(entry.name, entry.keys, entry.association);
}

}  // namespace NQRXKVL20
