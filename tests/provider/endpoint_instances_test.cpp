// IP protocol endpoint instances: which addresses yield one, their names,
// and when the address property is set.
#include <gtest/gtest.h>

#include "provider/hub_fixture.h"

namespace linkscope::testing {
namespace {

class EndpointInstances : public HubFixture {};

TEST_F(EndpointInstances, PhysicalAdaptersGiveBothFamiliesVirtualOnesIPv4Only) {
    AddPhysical("eth0", 11, {"10.1.2.3/24", ""}, {"FE80:00:00:00:01:02:03:04"})->SetDescription("Wired");
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
    EXPECT_EQ(Column({instances[0]}, "NameFormat"), Texts{"<AdapterIndex>_<ProtocolIFType>_<IPv4Address>"});

    ASSERT_EQ(instances.size(), 6u);
    const Properties ipv6 = {
        {"SystemCreationClassName", TCIMValue("QRXSG_ComputerSystem")},
        {"CreationClassname", TCIMValue("QRXSG_IPProtocolEndpoint")}, {"SystemName", TCIMValue("HOST-7")},
        {"ProtocolIFType", U16(4097)}, {"Description", TCIMValue("Wired")},
        {"Name", TCIMValue("11_IPv6_FE80:00:00:00:01:02:03:04")},
        {"NameFormat", TCIMValue("<AdapterIndex>_<ProtocolIFType>_<IPv6Address>")},
        {"IPv6Address", TCIMValue("FE80:00:00:00:01:02:03:04")},
    };
    EXPECT_EQ(instances[2]->Properties(), ipv6);
}

TEST_F(EndpointInstances, NoneUnderTheExclusionSwitch) {
    ScopedMachine excluded(MachineWithEnvironment("KVL_EXCLUDEIP", "1"));
    AddPhysical("eth0", 11, {"10.1.2.3/24"}, {"FE80:00:00:00:01:02:03:04"});
    AddVirtual("team0", 20, {"10.5.0.1/24"});
    EXPECT_EQ(Query({"QRXSG_IPProtocolEndpoint", "QRXSG_PortImplementsEndpoint"}).size(), 0u);
    EXPECT_EQ(Query({"QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort"}).size(), 2u);
}

}  // namespace
}  // namespace linkscope::testing
