// Physical and virtual port instances: the property tables of both classes
// side by side, the team and VLAN properties, and the skipped device names.
#include <gtest/gtest.h>

#include "provider/hub_fixture.h"

namespace linkscope::testing {
namespace {

class PortInstances : public HubFixture {
protected:
    // Fields that the two classes treat differently, all in their "quiet"
    // state: no hardware address or description, DHCP off with a server
    // left over, a speed setting while the state is unknown, no DNS, no
    // WINS though servers are recorded, no VLAN, not in a team though team
    // fields hold values.
    template <class Adapter>
    void FillQuiet(Adapter& a) {
        a.SetName("{QUIET}");
        a.SetOtherIdentifyingInfo("Quiet NIC");
        a.SetLinkTechnology(2);
        a.SetDhcpServer("10.0.0.1");
        a.SetSpeed(10000000000ull);
        a.SetSpeedDuplex("100Mbps Full");
        a.SetActiveMaximumTransmissionUnit(9000);
        a.SetPrimaryWinsServer("10.0.0.5");
        a.SetSecondaryWinsServer("10.0.0.6");
        a.SetAutoConfigEnabled(true);
        a.SetDriverLoaded(true);
        a.SetEnabledState(0);
        a.SetDnsServers({TCIMValue("10.0.0.2")});  // dropped: the state is not 2
        a.SetPortNumber(0x12345);                   // reported as its low 16 bits
    }
};

TEST_F(PortInstances, PhysicalAndVirtualTablesSideBySide) {
    PhysicalNetworkAdapter* physical = AddPhysical("\\DEVICE\\TCPIP_{P}", 0);
    FillQuiet(*physical);
    physical->SetNicType(3);
    physical->SetTeamName("Team A");
    physical->SetMemberType(1);
    physical->SetMemberTeamID(7);
    VirtualNetworkAdapter* virt = AddVirtual("\\DEVICE\\TCPIP_{V}", 0);
    FillQuiet(*virt);
    virt->SetVlanName("vlan-unused");

    const Instances instances = Query({"QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort"});
    ASSERT_EQ(instances.size(), 2u);

    const Properties physicalExpected = {
        {"SystemCreationClassName", TCIMValue("QRXSG_ComputerSystem")},
        {"CreationClassname", TCIMValue("QRXSG_PhysicalNetworkPort")},
        {"SystemName", TCIMValue("HOST-7")},
        {"DeviceID", TCIMValue("\\DEVICE\\TCPIP_{P}")},
        {"Name", TCIMValue("{QUIET}")},
        {"Description", TCIMValue("Not Available")},
        {"OtherIdentifyingInfo", Strings({TCIMValue("Quiet NIC")})},
        {"PortNumber", U16(0x2345)},
        {"NicType", U32(3)},
        {"DriverLoaded", TCIMValue(true)},
        {"LinkTechnology", U16(2)},
        {"DhcpEnabled", TCIMValue(false)},
        {"DhcpServer", TCIMValue("10.0.0.1")},
        {"Speed", U64(10000000000ull)},
        {"speedDuplex", TCIMValue("Unknown")},
        {"ActiveMaximumTransmissionUnit", U64(9000)},
        {"HaveWins", TCIMValue(false)},
        {"AutoConfigEnabled", TCIMValue(true)},
        {"AutoConfigActive", TCIMValue(false)},
        {"EnabledState", U16(0)},
    };
    const Properties virtualExpected = {
        {"SystemCreationClassName", TCIMValue("QRXSG_ComputerSystem")},
        {"CreationClassname", TCIMValue("QRXSG_VirtualNetworkPort")},
        {"SystemName", TCIMValue("HOST-7")},
        {"DeviceID", TCIMValue("\\DEVICE\\TCPIP_{V}")},
        {"Name", TCIMValue("{QUIET}")},
        {"PermanentAddress", TCIMValue("")},
        {"Description", TCIMValue("")},
        {"OtherIdentifyingInfo", Strings({TCIMValue("Quiet NIC")})},
        {"PortNumber", U16(0x2345)},
        {"DriverLoaded", TCIMValue(true)},
        {"LinkTechnology", U16(2)},
        {"DhcpEnabled", TCIMValue(false)},
        {"Speed", U64(10000000000ull)},
        {"speedDuplex", TCIMValue("100Mbps Full")},
        {"ActiveMaximumTransmissionUnit", U64(9000)},
        {"HaveWins", TCIMValue(false)},
        {"AutoConfigEnabled", TCIMValue(true)},
        {"AutoConfigActive", TCIMValue(false)},
        {"DnsServers", Strings({})},
        {"GatewayList", Strings({})},
        {"NetworkAddresses", Strings({})},
        {"EnabledState", U16(0)},
    };
    EXPECT_EQ(instances[0]->Properties(), physicalExpected);
    EXPECT_EQ(instances[1]->Properties(), virtualExpected);
}

TEST_F(PortInstances, ConditionalPropertiesAppearWhenTheirFlagHolds) {
    PhysicalNetworkAdapter* physical = AddPhysical("eth0", 4);
    physical->SetPermanentAddress("00:1a:2b:3c:4d:5e");
    physical->SetDescription("Wired");
    physical->SetSpeedDuplex("AUTO");
    physical->SetHaveWins(true);
    physical->SetPrimaryWinsServer("10.0.0.5");
    physical->SetDnsServers({TCIMValue("10.0.0.2"), TCIMValue("10.0.0.3")});
    physical->SetGatewayList({TCIMValue("10.0.0.1")});
    physical->SetNetworkAddresses({TCIMValue("00:1A:2B:3C:4D:5E")});
    physical->SetInTeam(true);
    physical->SetMemberType(2);
    physical->SetMemberPriority(1);
    physical->SetTeamName("Team A");
    physical->SetMemberTeamID(static_cast<std::int32_t>(0x80000000u));
    VirtualNetworkAdapter* virt = AddVirtual("team0", 5);
    virt->SetDhcpEnabled(true);
    virt->SetDhcpServer("10.0.0.1");
    virt->SetHaveWins(true);
    virt->SetVlanID(12);
    virt->SetVlanName("backbone");

    const Instances instances = Query({"QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort"});
    ASSERT_EQ(instances.size(), 2u);
    const Properties physicalTail(instances[0]->Properties().end() - 5, instances[0]->Properties().end());
    const Properties expectedTail = {
        {"EnabledState", U16(2)},
        {"MemberType", U32(2)},
        {"MemberPriority", U32(1)},
        {"TeamName", TCIMValue("Team A")},
        {"TeamID", TCIMValue("-2147483648")},
    };
    EXPECT_EQ(physicalTail, expectedTail);
    EXPECT_EQ(Column({instances[0]}, "PermanentAddress"), std::vector<std::string>{"00:1A:2B:3C:4D:5E"});
    EXPECT_EQ(Column({instances[0]}, "Description"), std::vector<std::string>{"Wired"});
    EXPECT_EQ(Column({instances[0]}, "speedDuplex"), std::vector<std::string>{"AUTO"});
    EXPECT_EQ(Column({instances[0]}, "PrimaryWinsServer"), std::vector<std::string>{"10.0.0.5"});
    EXPECT_EQ(Column({instances[0]}, "SecondaryWinsServer"), std::vector<std::string>{""});
    EXPECT_EQ(instances[0]->GetProperty("DnsServers", {})->GetValue({}),
              Strings({TCIMValue("10.0.0.2"), TCIMValue("10.0.0.3")}));
    EXPECT_EQ(Column({instances[0]}, "GatewayList"), std::vector<std::string>{"{10.0.0.1}"});

    EXPECT_EQ(Column({instances[1]}, "DhcpServer"), std::vector<std::string>{"10.0.0.1"});
    EXPECT_EQ(Column({instances[1]}, "PrimaryWinsServer"), std::vector<std::string>{""});
    const Properties virtualTail(instances[1]->Properties().end() - 2, instances[1]->Properties().end());
    const Properties expectedVlan = {{"VlanID", U32(12)}, {"VlanName", TCIMValue("backbone")}};
    EXPECT_EQ(virtualTail, expectedVlan);
}

TEST_F(PortInstances, TeamNumbersAreSignedDecimalText) {
    for (std::int32_t id : {7, 0, -1, static_cast<std::int32_t>(0xFFFFFFFEu)}) {
        AddPhysical("eth" + std::to_string(id), 1)->SetMemberTeamID(id);
    }
    for (PhysicalNetworkAdapter* adapter : adapters_.GetPhysicalAdapters()) adapter->SetInTeam(true);
    EXPECT_EQ(Column(Query({"QRXSG_PhysicalNetworkPort"}), "TeamID"),
              (std::vector<std::string>{"7", "0", "-1", "-2"}));
}

TEST_F(PortInstances, LoopbackAndTunnelDevicesHaveNoPhysicalPort) {
    struct Case {
        const char* deviceId;
        bool reported;
    };
    const Case cases[] = {
        {"lo", false},   {"sit0", false}, {"ip6tnl-sit", false}, {"lo0", true},
        {"Lo", true},    {"SIT0", true},  {"s-i-t", true},       {"", true},
    };
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        AddPhysical(c.deviceId, 1);
        if (c.reported) expected.push_back(c.deviceId);
    }
    AddVirtual("lo", 2);  // the rule is the physical list's only

    EXPECT_EQ(Column(Query({"QRXSG_PhysicalNetworkPort"}), "DeviceID"), expected);
    EXPECT_EQ(Column(Query({"QRXSG_VirtualNetworkPort"}), "DeviceID"), std::vector<std::string>{"lo"});
}

TEST_F(PortInstances, StringArraysAreBuiltPerInstance) {
    AddPhysical("eth0", 1)->SetGatewayList({TCIMValue("10.0.0.1")});
    AddPhysical("eth1", 2)->SetGatewayList({TCIMValue("10.1.0.1"), TCIMValue("10.1.0.2")});
    EXPECT_EQ(Column(Query({"QRXSG_PhysicalNetworkPort"}), "GatewayList"),
              (std::vector<std::string>{"{10.0.0.1}", "{10.1.0.1,10.1.0.2}"}));
}

}  // namespace
}  // namespace linkscope::testing
