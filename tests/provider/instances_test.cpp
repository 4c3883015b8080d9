// Port instances: both property tables side by side, the properties set
// only when a flag holds, and the skipped device names. IP protocol
// endpoint instances: which addresses yield one, their names, and when the
// address property is set.
#include <algorithm>

#include <gtest/gtest.h>

#include "provider/hub_fixture.h"

namespace linkscope::testing {
namespace {

class PortInstances : public HubFixture {
protected:
    // The fields the two classes treat differently, in their "quiet" state:
    // no hardware address or description, DHCP off with a server left over,
    // a speed setting while the state is unknown, no DNS, WINS off with
    // servers recorded, no VLAN, no team though team fields hold values.
    template <class Adapter>
    static void FillQuiet(Adapter& a) {
        a.SetName("{QUIET}");
        a.SetOtherIdentifyingInfo("Quiet NIC");
        a.SetLinkTechnology(2);
        a.SetDhcpServer("10.0.0.1");
        a.SetSpeed(10000000000ull);
        a.SetSpeedDuplex("100Mbps Full");
        a.SetActiveMaximumTransmissionUnit(9000);
        a.SetPrimaryWinsServer("10.0.0.5");
        a.SetDriverLoaded(true);
        a.SetEnabledState(0);
        a.SetPortNumber(0x12345);  // reported as its low 16 bits
    }
};

TEST_F(PortInstances, PhysicalAndVirtualTablesSideBySide) {
    PhysicalNetworkAdapter* physical = AddPhysical("\\DEVICE\\TCPIP_{P}", 0);
    FillQuiet(*physical);
    physical->SetNicType(3);
    physical->SetTeamName("Team A");
    physical->SetMemberTeamID(7);
    FillQuiet(*AddVirtual("\\DEVICE\\TCPIP_{V}", 0));

    const Instances instances = Query({"QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort"});
    ASSERT_EQ(instances.size(), 2u);
    const Properties physicalExpected = {
        {"SystemCreationClassName", TCIMValue("QRXSG_ComputerSystem")},
        {"CreationClassname", TCIMValue("QRXSG_PhysicalNetworkPort")}, {"SystemName", TCIMValue("HOST-7")},
        {"DeviceID", TCIMValue("\\DEVICE\\TCPIP_{P}")}, {"Name", TCIMValue("{QUIET}")},
        {"Description", TCIMValue("Not Available")}, {"OtherIdentifyingInfo", Strings({TCIMValue("Quiet NIC")})},
        {"PortNumber", U16(0x2345)}, {"NicType", U32(3)}, {"DriverLoaded", TCIMValue(true)},
        {"LinkTechnology", U16(2)}, {"DhcpEnabled", TCIMValue(false)}, {"DhcpServer", TCIMValue("10.0.0.1")},
        {"Speed", U64(10000000000ull)}, {"speedDuplex", TCIMValue("Unknown")},
        {"ActiveMaximumTransmissionUnit", U64(9000)}, {"HaveWins", TCIMValue(false)},
        {"AutoConfigEnabled", TCIMValue(false)}, {"AutoConfigActive", TCIMValue(false)}, {"EnabledState", U16(0)},
    };
    const Properties virtualExpected = {
        {"SystemCreationClassName", TCIMValue("QRXSG_ComputerSystem")},
        {"CreationClassname", TCIMValue("QRXSG_VirtualNetworkPort")}, {"SystemName", TCIMValue("HOST-7")},
        {"DeviceID", TCIMValue("\\DEVICE\\TCPIP_{V}")}, {"Name", TCIMValue("{QUIET}")},
        {"PermanentAddress", TCIMValue("")}, {"Description", TCIMValue("")},
        {"OtherIdentifyingInfo", Strings({TCIMValue("Quiet NIC")})}, {"PortNumber", U16(0x2345)},
        {"DriverLoaded", TCIMValue(true)}, {"LinkTechnology", U16(2)}, {"DhcpEnabled", TCIMValue(false)},
        {"Speed", U64(10000000000ull)}, {"speedDuplex", TCIMValue("100Mbps Full")},
        {"ActiveMaximumTransmissionUnit", U64(9000)}, {"HaveWins", TCIMValue(false)},
        {"AutoConfigEnabled", TCIMValue(false)}, {"AutoConfigActive", TCIMValue(false)},
        {"DnsServers", Strings({})}, {"GatewayList", Strings({})}, {"NetworkAddresses", Strings({})},
        {"EnabledState", U16(0)},
    };
    EXPECT_EQ(Named(*instances[0]), physicalExpected);
    EXPECT_EQ(Named(*instances[1]), virtualExpected);
}

TEST_F(PortInstances, FlaggedPropertiesAppearWhenTheirFlagHolds) {
    PhysicalNetworkAdapter* physical = AddPhysical("eth0", 4);
    physical->SetPermanentAddress("00:1a:2b:3c:4d:5e");
    physical->SetHaveWins(true);
    physical->SetSecondaryWinsServer("10.0.0.8");
    physical->SetDnsServers({TCIMValue("10.0.0.2")});
    physical->SetInTeam(true);
    physical->SetMemberType(2);
    physical->SetMemberPriority(1);
    physical->SetTeamName("Team A");
    physical->SetMemberTeamID(static_cast<std::int32_t>(0x80000000u));
    VirtualNetworkAdapter* virt = AddVirtual("team0", 5);
    virt->SetDhcpEnabled(true);
    virt->SetHaveWins(true);
    virt->SetPrimaryWinsServer("10.0.0.5");
    virt->SetSecondaryWinsServer("10.0.0.6");
    virt->SetVlanID(12);
    virt->SetVlanName("backbone");

    const Instances instances = Query({"QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort"});
    ASSERT_EQ(instances.size(), 2u);
    const Properties physicalSet = Named(*instances[0]);
    const Properties virtualSet = Named(*instances[1]);
    EXPECT_EQ(Properties(physicalSet.end() - 5, physicalSet.end()),
              (Properties{{"EnabledState", U16(2)}, {"MemberType", U32(2)}, {"MemberPriority", U32(1)},
                          {"TeamName", TCIMValue("Team A")}, {"TeamID", TCIMValue("-2147483648")}}));
    EXPECT_EQ(Properties(virtualSet.end() - 2, virtualSet.end()),
              (Properties{{"VlanID", U32(12)}, {"VlanName", TCIMValue("backbone")}}));
    EXPECT_EQ(Column(instances, "PermanentAddress"), (Texts{"00:1A:2B:3C:4D:5E", ""}));
    // Both WINS servers follow the flag, primary first.
    const auto wins = [](const Properties& set) {
        const auto flag = std::find_if(set.begin(), set.end(), [](const auto& p) { return p.first == "HaveWins"; });
        return Properties(flag, flag + std::min<std::ptrdiff_t>(3, set.end() - flag));
    };
    EXPECT_EQ(wins(physicalSet), (Properties{{"HaveWins", TCIMValue(true)}, {"PrimaryWinsServer", TCIMValue("")},
                                             {"SecondaryWinsServer", TCIMValue("10.0.0.8")}}));
    EXPECT_EQ(wins(virtualSet), (Properties{{"HaveWins", TCIMValue(true)}, {"PrimaryWinsServer", TCIMValue("10.0.0.5")},
                                            {"SecondaryWinsServer", TCIMValue("10.0.0.6")}}));
    EXPECT_EQ(Column(instances, "DnsServers"), (Texts{"{10.0.0.2}", "{}"}));
    EXPECT_EQ(Column(instances, "DhcpServer"), (Texts{"", ""}));
    EXPECT_EQ(Column(instances, "speedDuplex"), (Texts{"", ""}));
}

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

    EXPECT_EQ(Column(Query({"QRXSG_PhysicalNetworkPort"}), "DeviceID"), reported);
    EXPECT_EQ(Column(Query({"QRXSG_VirtualNetworkPort"}), "DeviceID"), Texts{"lo"});
}

class EndpointInstances : public HubFixture {};

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
