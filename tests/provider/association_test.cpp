// Port-to-endpoint associations, joined on the ports and endpoints that the
// host enumerates, and the index that finds those instances by a key. The
// links of a plain physical port, and their independence from what was
// queried before, are pinned end to end by the machine inventory test.
#include <gtest/gtest.h>

#include <algorithm>

#include "provider/hub_fixture.h"
#include "provider/instance_index.h"

namespace linkscope::testing {
namespace {

const char kLink[] = "QRXSG_PortImplementsEndpoint";

class PortEndpointAssociation : public HubFixture {
protected:
    // The object path of the first instance of `className` whose
    // `property` reads `value`, from a fresh query of that class.
    std::string PathOf(const std::string& className, const std::string& property, const std::string& value) {
        const Instances instances = Query({className});
        const Texts values = Column(instances, property);
        const auto found = std::find(values.begin(), values.end(), value);
        if (found != values.end()) return instances[found - values.begin()]->Path();
        ADD_FAILURE() << "no " << className << " with " << property << " " << value;
        return std::string();
    }
    std::string PortPath(const std::string& className, const std::string& deviceId) {
        return PathOf(className, "DeviceID", deviceId);
    }
    std::string EndpointPath(const std::string& name) { return PathOf("QRXSG_IPProtocolEndpoint", "Name", name); }
};

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
    EXPECT_NE(EndpointPath("2_IPv4_192.0.2.1/32"), "");
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

    EXPECT_EQ(PathText(index.FindPath("eth0")),
              "QRXSG_PhysicalNetworkPort.CreationClassname=\"QRXSG_PhysicalNetworkPort\",DeviceID=\"eth0\","
              "SystemCreationClassName=\"QRXSG_ComputerSystem\",SystemName=\"HOST-7\"");
    EXPECT_EQ(PathText(index.FindPath("eth1")), "QRXSG_PhysicalNetworkPort.DeviceID=\"eth1\",SystemName=\"FIRST\"");
    EXPECT_EQ(index.FindPath("eth1"), index.FindPath("eth1")) << "one path per key";
    EXPECT_EQ(PathText(index.FindPath("ETH1")), "<none>");
    EXPECT_EQ(PathText(index.FindPath("")), "<none>");
}

}  // namespace
}  // namespace linkscope::testing
