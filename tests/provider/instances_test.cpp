// Port instances: the skipped device names. IP protocol endpoint
// instances: which addresses yield one, their names, and when the address
// property is set. The properties of ports, flagged ones included, are
// pinned end to end by the machine inventory goldens.
#include <gtest/gtest.h>

#include "provider/hub_fixture.h"

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
        AddPhysical(deviceId, 1);
        if (kept) reported.push_back(deviceId);
    }
    AddVirtual("lo", 2);  // the rule is the physical list's only

    const Instances ports = Query({"QRXSG_PhysicalNetworkPort"});
    EXPECT_EQ(Column(ports, "DeviceID"), reported);
    EXPECT_EQ(Column(ports, "Description")[0], "Not Available") << "an adapter without a description";
    EXPECT_EQ(Column(Query({"QRXSG_VirtualNetworkPort"}), "DeviceID"), Texts{"lo"});
}

using EndpointInstances = HubFixture;

TEST_F(EndpointInstances, PhysicalAdaptersGiveBothFamiliesVirtualOnesIPv4Only) {
    AddPhysical("eth0", 11, {"10.1.2.3/24", ""}, {"FE80:00:00:00:01:02:03:04"});
    AddPhysical("sit0", static_cast<std::int32_t>(0x80000000u), {"192.0.2.1/32"});  // no port, still endpoints
    AddVirtual("team0", 20, {"", "10.5.0.1/24"}, {"2001:DB8:00:00:00:00:00:01"});

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

}  // namespace
}  // namespace linkscope::testing
