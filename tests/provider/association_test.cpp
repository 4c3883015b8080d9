// Port-to-endpoint associations, joined on the ports and endpoints that the
// host enumerates, and the index that finds those instances by a key.
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

TEST_F(PortEndpointAssociation, EveryAddressOfAPhysicalPortInListOrder) {
    AddPhysical("eth0", 11, {"192.168.0.5/24", "10.0.0.5/8"}, {"FE80:00:00:00:00:00:00:05"});

    const Instances links = Query({kLink});
    ASSERT_EQ(links.size(), 3u);
    EXPECT_EQ(Column(links, "Antecedent"), Texts(3, PortPath("QRXSG_PhysicalNetworkPort", "eth0")));
    EXPECT_EQ(Column(links, "Dependent"), (Texts{EndpointPath("11_IPv4_192.168.0.5/24"),
                                                 EndpointPath("11_IPv4_10.0.0.5/8"),
                                                 EndpointPath("11_IPv6_FE80:00:00:00:00:00:00:05")}));
    EXPECT_EQ(links[0]->Properties().front().first, "Dependent");
    for (const auto& [name, value] : links[0]->Properties()) {
        EXPECT_EQ(value.GetType(), NQRXKVL20::kCIMTypeReference) << name;
    }
}

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

TEST_F(PortEndpointAssociation, TheAnswerDoesNotDependOnWhatWasQueriedBefore) {
    AddPhysical("eth0", 11, {"192.168.0.5/24"}, {"FE80:00:00:00:00:00:00:05"});
    AddVirtual("team0", 30, {"10.5.0.1/24"});

    const Texts alone = Paths(Query({kLink}));
    const Instances everything = Query({"QRXSG_VirtualNetworkPort", "QRXSG_PhysicalNetworkPort",
                                        "QRXSG_IPProtocolEndpoint", kLink, kLink});
    ASSERT_EQ(everything.size(), 2u + 3u + 3u + 3u);
    const Texts afterEnds = Paths(Instances(everything.begin() + 5, everything.begin() + 8));
    const Texts again = Paths(Instances(everything.begin() + 8, everything.end()));
    EXPECT_EQ(alone.size(), 3u);
    EXPECT_EQ(afterEnds, alone);
    EXPECT_EQ(again, alone);
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
    EXPECT_EQ(index.FindPath("eth1"), index.FindPath("eth1")) << "the path is asked for once";
    EXPECT_EQ(PathText(index.FindPath("ETH1")), "<none>");
    EXPECT_EQ(PathText(index.FindPath("")), "<none>");
}

}  // namespace
}  // namespace linkscope::testing
