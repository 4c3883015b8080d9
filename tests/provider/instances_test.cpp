// Skipped port device names, which addresses yield IP endpoints, and the
// index on which every association joins its ends. Port properties and the
// associations are pinned end to end by the machine inventory goldens.
#include <gtest/gtest.h>

#include "provider/hub_fixture.h"
#include "provider/instance_index.h"

namespace linkscope::testing {
namespace {

using PortInstances = HubFixture;

TEST_F(PortInstances, LoopbackAndTunnelDevicesHaveNoPhysicalPort) {
    const std::pair<const char*, bool> cases[] = {
        {"lo", false}, {"sit0", false}, {"ip6tnl-sit", false}, {"lo0", true},
        {"Lo", true},  {"SIT0", true},  {"s-i-t", true},       {"", true},
    };
    Texts reported;
    for (const auto& [deviceId, kept] : cases) {
        AddRecord(deviceId, 1);
        if (kept) reported.push_back(deviceId);
    }
    AddRecord<VirtualNetworkAdapter>("lo", 2);  // the rule is the physical list's only

    const Instances ports = Query({"QRXSG_PhysicalNetworkPort"});
    EXPECT_EQ(Column(ports, "DeviceID"), reported);
    EXPECT_EQ(Column(ports, "Description")[0], "Not Available") << "an adapter without a description";
    EXPECT_EQ(Column(Query({"QRXSG_VirtualNetworkPort"}), "DeviceID"), Texts{"lo"});
}

using EndpointInstances = HubFixture;

TEST_F(EndpointInstances, PhysicalAdaptersGiveBothFamiliesVirtualOnesIPv4Only) {
    AddRecord("eth0", 11, {"10.1.2.3/24", ""}, {"FE80:00:00:00:01:02:03:04"});
    AddRecord("sit0", static_cast<std::int32_t>(0x80000000u), {"192.0.2.1/32"});  // no port, still endpoints
    AddRecord<VirtualNetworkAdapter>("team0", 20, {"", "10.5.0.1/24"}, {"2001:DB8:00:00:00:00:00:01"});

    const Instances instances = Query({"QRXSG_IPProtocolEndpoint"});
    EXPECT_EQ(Column(instances, "Name"),
              (Texts{"11_IPv4_10.1.2.3/24", "11_IPv4_", "11_IPv6_FE80:00:00:00:01:02:03:04",
                     "-2147483648_IPv4_192.0.2.1/32", "20_IPv4_", "20_IPv4_10.5.0.1/24"}));
    // An empty entry has no address on a physical adapter's endpoint, an
    // empty one on a virtual adapter's.
    EXPECT_EQ(Column(instances, "IPv4Address"),
              (Texts{"10.1.2.3/24", "<unset>", "<unset>", "192.0.2.1/32", "", "10.5.0.1/24"}));
    EXPECT_EQ(Column(instances, "ProtocolIFType"), (Texts{"4096", "4096", "4097", "4096", "4096", "4096"}));
    EXPECT_EQ(Column(instances, "IPv6Address")[2], "FE80:00:00:00:01:02:03:04");
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
    AddRecord("eth0", 1);  // served by the plug-in, enumerated before the static ones
    AddStaticPort("eth0", "STATIC");
    AddStaticPort("eth1", "FIRST");
    AddStaticPort("eth1", "SECOND");
    provider::QueryContext query;
    query.ns = manager_;
    query.lookupContext[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);
    provider::InstanceIndex index(query, "QRXSG_PhysicalNetworkPort", "DeviceID");

    // The plug-in's port on HOST-7: its keys in name order.
    EXPECT_EQ(PathText(index.FindPath("eth0")),
              "QRXSG_PhysicalNetworkPort.CreationClassname=\"QRXSG_PhysicalNetworkPort\",DeviceID=\"eth0\","
              "SystemCreationClassName=\"QRXSG_ComputerSystem\",SystemName=\"HOST-7\"");
    EXPECT_EQ(PathText(index.FindPath("eth1")), "QRXSG_PhysicalNetworkPort.DeviceID=\"eth1\",SystemName=\"FIRST\"");
    EXPECT_EQ(PathText(index.FindPath("ETH1")), "<none>");
    EXPECT_EQ(PathText(index.FindPath("")), "<none>");
}

}  // namespace
}  // namespace linkscope::testing
