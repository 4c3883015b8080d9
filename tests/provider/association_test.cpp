// Port-to-endpoint associations, joined on the ports and endpoints that the
// host enumerates, and the index that finds those instances by a key. The
// links of a plain physical port, and their independence from what was
// queried before, are pinned end to end by the machine inventory test.
#include <gtest/gtest.h>

#include "provider/hub_fixture.h"
#include "provider/instance_index.h"

namespace linkscope::testing {
namespace {

const char kLink[] = "QRXSG_PortImplementsEndpoint";

// Object paths of the plug-in's instances on HOST-7, written out: keys in
// name order.
std::string PortPath(const std::string& className, const std::string& deviceId) {
    return className + ".CreationClassname=\"" + className + "\",DeviceID=\"" + deviceId +
           "\",SystemCreationClassName=\"QRXSG_ComputerSystem\",SystemName=\"HOST-7\"";
}
std::string EndpointPath(const std::string& name) {
    return "QRXSG_IPProtocolEndpoint.CreationClassname=\"QRXSG_IPProtocolEndpoint\",Name=\"" + name +
           "\",SystemCreationClassName=\"QRXSG_ComputerSystem\",SystemName=\"HOST-7\"";
}

using PortEndpointAssociation = HubFixture;

TEST_F(PortEndpointAssociation, VirtualPortsLinkIPv4OnlyAndAdaptersWithoutAPortAreLeftOut) {
    AddPhysical("sit0", 2, {"192.0.2.1/32"});  // no port, though it has its endpoint
    AddVirtual("team0", 30, {"10.5.0.1/24"}, {"2001:DB8:00:00:00:00:00:01"});
    AddPhysical("team0", 31, {"10.6.0.1/24"});  // same device name, other list
    AddPhysical("eth0", 7, {"10.0.0.1/24"});    // two adapters, one endpoint name:
    AddPhysical("eth1", 7, {"10.0.0.1/24"});    // both link the first endpoint

    const Instances links = Query({kLink});
    const std::string shared = EndpointPath("7_IPv4_10.0.0.1/24");
    EXPECT_EQ(Column(links, "Dependent"), (Texts{EndpointPath("31_IPv4_10.6.0.1/24"), shared, shared,
                                                 EndpointPath("30_IPv4_10.5.0.1/24")}));
    EXPECT_EQ(Column(links, "Antecedent"),
              (Texts{PortPath("QRXSG_PhysicalNetworkPort", "team0"), PortPath("QRXSG_PhysicalNetworkPort", "eth0"),
                     PortPath("QRXSG_PhysicalNetworkPort", "eth1"), PortPath("QRXSG_VirtualNetworkPort", "team0")}));
}

using NQRXKVL20::TCIMPropertyMap;
using NQRXKVL20::TCIMSchemaHelper;

class InstanceIndexTest : public HubFixture {
protected:
    // A port another provider serves, told apart by its system name.
    void AddStaticPort(const std::string& deviceId, const std::string& systemName) {
        manager_->AddStaticInstance("QRXSG_PhysicalNetworkPort", TCIMPropertyMap{{"DeviceID", TCIMValue(deviceId)},
                                                                                 {"SystemName", TCIMValue(systemName)}});
    }
    static std::string PathText(const TCIMValue* path) { return path ? path->ToString() : "<none>"; }
};

TEST_F(InstanceIndexTest, TheFirstInstanceEnumeratedWithAKeyIsFound) {
    AddPhysical("eth0", 1);  // served by the plug-in, enumerated before the static ones
    AddStaticPort("eth0", "STATIC");
    AddStaticPort("eth1", "FIRST");
    AddStaticPort("eth1", "SECOND");
    provider::QueryContext query;
    query.ns = manager_;
    query.lookupContext[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);
    provider::InstanceIndex index(query, "QRXSG_PhysicalNetworkPort", "DeviceID");

    EXPECT_EQ(PathText(index.FindPath("eth0")), PortPath("QRXSG_PhysicalNetworkPort", "eth0"));
    EXPECT_EQ(PathText(index.FindPath("eth1")), "QRXSG_PhysicalNetworkPort.DeviceID=\"eth1\",SystemName=\"FIRST\"");
    EXPECT_EQ(PathText(index.FindPath("ETH1")), "<none>");
    EXPECT_EQ(PathText(index.FindPath("")), "<none>");
}

}  // namespace
}  // namespace linkscope::testing
