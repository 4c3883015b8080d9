// IP protocol endpoint instances: which addresses yield one, their names,
// and when the address property is set.
#include <gtest/gtest.h>

#include "provider/hub_fixture.h"

namespace linkscope::testing {
namespace {

class EndpointInstances : public HubFixture {};

TEST_F(EndpointInstances, PhysicalAdaptersGiveBothFamiliesVirtualOnesIPv4Only) {
    PhysicalNetworkAdapter* eth = AddPhysical("eth0", 11, {"10.1.2.3/24", "10.9.0.1/16"}, {"FE80:00:00:00:01:02:03:04"});
    eth->SetDescription("Wired");
    AddPhysical("sit0", 3, {"192.0.2.1/32"});  // no port, but its address is an endpoint
    AddVirtual("team0", 20, {"10.5.0.1/24"}, {"2001:DB8:00:00:00:00:00:01"});

    const Instances instances = Query({"QRXSG_IPProtocolEndpoint"});
    EXPECT_EQ(Column(instances, "Name"),
              (std::vector<std::string>{"11_IPv4_10.1.2.3/24", "11_IPv4_10.9.0.1/16", "11_IPv6_FE80:00:00:00:01:02:03:04",
                                        "3_IPv4_192.0.2.1/32", "20_IPv4_10.5.0.1/24"}));
    ASSERT_EQ(instances.size(), 5u);

    const Properties ipv4 = {
        {"SystemCreationClassName", TCIMValue("QRXSG_ComputerSystem")},
        {"CreationClassname", TCIMValue("QRXSG_IPProtocolEndpoint")},
        {"SystemName", TCIMValue("HOST-7")},
        {"ProtocolIFType", U16(4096)},
        {"Description", TCIMValue("Wired")},
        {"Name", TCIMValue("11_IPv4_10.1.2.3/24")},
        {"NameFormat", TCIMValue("<AdapterIndex>_<ProtocolIFType>_<IPv4Address>")},
        {"IPv4Address", TCIMValue("10.1.2.3/24")},
    };
    const Properties ipv6 = {
        {"SystemCreationClassName", TCIMValue("QRXSG_ComputerSystem")},
        {"CreationClassname", TCIMValue("QRXSG_IPProtocolEndpoint")},
        {"SystemName", TCIMValue("HOST-7")},
        {"ProtocolIFType", U16(4097)},
        {"Description", TCIMValue("Wired")},
        {"Name", TCIMValue("11_IPv6_FE80:00:00:00:01:02:03:04")},
        {"NameFormat", TCIMValue("<AdapterIndex>_<ProtocolIFType>_<IPv6Address>")},
        {"IPv6Address", TCIMValue("FE80:00:00:00:01:02:03:04")},
    };
    EXPECT_EQ(instances[0]->Properties(), ipv4);
    EXPECT_EQ(instances[2]->Properties(), ipv6);
    EXPECT_EQ(Column(instances, "Description"), (std::vector<std::string>{"Wired", "Wired", "Wired", "", ""}));
}

TEST_F(EndpointInstances, AnEmptyEntryKeepsItsAddressOnlyOnAVirtualAdapter) {
    AddPhysical("eth0", 11, {""}, {""});
    AddVirtual("team0", 12, {""});
    const Instances instances = Query({"QRXSG_IPProtocolEndpoint"});
    EXPECT_EQ(Column(instances, "Name"), (std::vector<std::string>{"11_IPv4_", "11_IPv6_", "12_IPv4_"}));
    EXPECT_EQ(Column(instances, "IPv4Address"), (std::vector<std::string>{"<unset>", "<unset>", ""}));
    EXPECT_EQ(Column(instances, "IPv6Address"), (std::vector<std::string>{"<unset>", "<unset>", "<unset>"}));
}

TEST_F(EndpointInstances, PortNumbersAreSignedDecimal) {
    AddPhysical("a", static_cast<std::int32_t>(0x80000000u), {"10.0.0.1/8"});
    AddPhysical("b", -1, {"10.0.0.2/8"});
    AddPhysical("c", 0, {"10.0.0.3/8"});
    EXPECT_EQ(Column(Query({"QRXSG_IPProtocolEndpoint"}), "Name"),
              (std::vector<std::string>{"-2147483648_IPv4_10.0.0.1/8", "-1_IPv4_10.0.0.2/8", "0_IPv4_10.0.0.3/8"}));
}

TEST_F(EndpointInstances, SharedPortNumberAndAddressGiveTwoEndpointsOfOneName) {
    AddPhysical("eth0", 7, {"10.0.0.1/24"});
    AddPhysical("eth1", 7, {"10.0.0.1/24"});
    EXPECT_EQ(Column(Query({"QRXSG_IPProtocolEndpoint"}), "Name"),
              (std::vector<std::string>{"7_IPv4_10.0.0.1/24", "7_IPv4_10.0.0.1/24"}));
}

TEST_F(EndpointInstances, NoneUnderTheExclusionSwitch) {
    ScopedMachine excluded(MachineWithEnvironment("KVL_EXCLUDEIP", "1"));
    AddPhysical("eth0", 11, {"10.1.2.3/24"}, {"FE80:00:00:00:01:02:03:04"});
    AddVirtual("team0", 20, {"10.5.0.1/24"});
    EXPECT_TRUE(Query({"QRXSG_IPProtocolEndpoint"}).empty());
    EXPECT_EQ(Query({"QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort"}).size(), 2u);
}

}  // namespace
}  // namespace linkscope::testing
