// Enumeration of the operating system's adapters into the container.
#include <gtest/gtest.h>

#include "collect/adapters_info.h"
#include "support/sim_machine.h"

namespace linkscope {
namespace {

using NQRXKVL20::TCIMValue;
using testing::LoggedAt;
using testing::ScopedMachine;

sim::Adapter Nic(std::uint32_t index, std::vector<std::uint8_t> mac = {0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}) {
    sim::Adapter adapter;
    adapter.guid = "{00000000-0000-0000-0000-0000000000" + std::to_string(10 + index) + "}";
    adapter.description = "NIC " + std::to_string(index);
    adapter.mac = std::move(mac);
    adapter.index = index;
    adapter.ipv4 = {{"10.0.0." + std::to_string(index), "255.255.255.0"}};
    adapter.gateways = {"10.0.0.1"};
    adapter.dns = {"10.0.0.2"};
    return adapter;
}

std::unique_ptr<AdaptersInfo> Collect() {
    auto adapters = std::make_unique<AdaptersInfo>();
    adapters->Collect();
    return adapters;
}

TEST(Enumeration, NewRecordCarriesEverythingIpConfigurationReports) {
    sim::Machine machine;
    sim::Adapter nic = Nic(11);
    nic.dhcp = true;
    nic.dhcpServer = "10.0.0.1";
    nic.wins = {"10.0.0.5", "10.0.0.6"};
    nic.ipv4.push_back({"10.0.1.11", "255.255.0.0"});
    nic.ipv6 = std::array<std::uint8_t, 16>{0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0x02, 0x1a, 0x2b, 0xff, 0xfe, 0x3c, 0x4d, 0x5e};
    nic.mtu = 9000;
    nic.autoconfig = {true, true};
    machine.adapters = {nic};
    ScopedMachine installed(machine);

    auto adapters = Collect();
    ASSERT_EQ(adapters->GetPhysicalAdapters().size(), 1u);
    const PhysicalNetworkAdapter& record = *adapters->GetPhysicalAdapters()[0];
    EXPECT_EQ(record.GetDeviceID(), "\\DEVICE\\TCPIP_" + nic.guid);
    EXPECT_EQ(record.GetName(), nic.guid);
    EXPECT_EQ(record.GetMacAddress(), "001A2B3C4D5E");
    EXPECT_EQ(record.GetNetworkAddresses(), std::vector<TCIMValue>{TCIMValue("00:1A:2B:3C:4D:5E")});
    EXPECT_EQ(record.GetOtherIdentifyingInfo(), "NIC 11");
    EXPECT_EQ(record.GetGatewayList(), std::vector<TCIMValue>{TCIMValue("10.0.0.1")});
    EXPECT_TRUE(record.GetDhcpEnabled());
    EXPECT_EQ(record.GetDhcpServer(), "10.0.0.1");
    EXPECT_TRUE(record.GetHaveWins());
    EXPECT_EQ(record.GetPrimaryWinsServer() + " " + record.GetSecondaryWinsServer(), "10.0.0.5 10.0.0.6");
    EXPECT_EQ(record.GetPortNumber(), 11);
    EXPECT_TRUE(record.GetDnsServers().empty()) << "a new record's state is 0 when DNS is offered";
    EXPECT_TRUE(record.GetAutoConfigEnabled() && record.GetAutoConfigActive());
    EXPECT_EQ(record.GetActiveMaximumTransmissionUnit(), 9000);
    EXPECT_TRUE(record.GetDriverLoaded());
    EXPECT_EQ(record.GetEnabledState(), 2);
    EXPECT_EQ(record.GetIPv4AddressList(), (TextList{"10.0.0.11/24", "10.0.1.11/16"}));
    EXPECT_EQ(record.GetIPv6AddressList(), TextList{"FE80:00:00:00:21A:2BFF:FE3C:4D5E"});
    EXPECT_TRUE(LoggedAt(1).empty());
}

TEST(Enumeration, LinkTechnologyAndStateTables) {
    struct Case {
        std::uint32_t type;
        std::uint32_t operStatus;
        std::int32_t linkTechnology;
        std::int32_t enabledState;
    };
    const Case cases[] = {{6, 5, 2, 2},      {24, 4, 1, 2},     {71, 3, 0, 10}, {9, 2, 7, 32768},
                          {15, 0, 5, 32768}, {23, 1, 1, 32768}, {28, 6, 1, 0},  {1, 99, 1, 0}};
    sim::Machine machine;
    std::uint32_t index = 1;
    for (const Case& c : cases) {
        sim::Adapter nic = Nic(index, {static_cast<std::uint8_t>(index)});
        nic.type = c.type;
        nic.operStatus = c.operStatus;
        machine.adapters.push_back(nic);
        ++index;
    }
    ScopedMachine installed(machine);
    auto adapters = Collect();
    ASSERT_EQ(adapters->GetPhysicalAdapters().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const PhysicalNetworkAdapter& record = *adapters->GetPhysicalAdapters()[i];
        EXPECT_EQ(record.GetLinkTechnology(), cases[i].linkTechnology) << "type " << cases[i].type;
        EXPECT_EQ(record.GetEnabledState(), cases[i].enabledState) << "status " << cases[i].operStatus;
    }
}

TEST(Enumeration, CompletesTeamRecordsInPlaceKeepingWhatTheTeamSet) {
    sim::Machine machine;
    sim::Adapter member = Nic(5);
    member.type = 71;
    sim::Adapter vlan = Nic(6, {0xcc, 0xcc});
    vlan.description = "VLAN 20";
    sim::Adapter stranger = Nic(7, {0xcc, 0xcc});
    stranger.description = "Something else";
    machine.adapters = {member, vlan, stranger};
    ScopedMachine installed(machine);

    AdaptersInfo adapters;
    auto* physical = new PhysicalNetworkAdapter();
    physical->SetMacAddress("001A2B3C4D5E");
    physical->SetLinkTechnology(2);
    physical->SetEnabledState(2);
    physical->SetSpeed(1000000000);
    adapters.AddPhysicalAdapter(physical);
    auto* team = new VirtualNetworkAdapter();
    team->SetMacAddress("CCCC");
    team->SetDescription("Team 1 VLAN 20");
    team->SetEnabledState(2);
    team->SetVlanID(20);
    adapters.AddVirtualAdapter(team);
    adapters.Collect();

    ASSERT_EQ(adapters.GetPhysicalAdapters().size(), 2u) << "the adapter matching nothing is appended";
    EXPECT_EQ(physical->GetLinkTechnology(), 2) << "a set link technology is kept whatever the type";
    EXPECT_EQ(physical->GetSpeed(), 1000000000u);
    EXPECT_EQ(physical->GetPortNumber(), 5);
    EXPECT_EQ(physical->GetDnsServers(), std::vector<TCIMValue>{TCIMValue("10.0.0.2")})
        << "a record a team enabled takes its DNS servers";
    EXPECT_EQ(team->GetPortNumber(), 6);
    EXPECT_EQ(team->GetDescription(), "VLAN 20");
    EXPECT_EQ(team->GetVlanID(), 20);
    EXPECT_EQ(adapters.GetPhysicalAdapters()[1]->GetPortNumber(), 7);
}

TEST(Enumeration, Ipv6AddressesDependOnTheSystemVersion) {
    struct Case {
        std::uint32_t major;
        std::uint32_t minor;
        bool versionOk;
        bool expectAddress;
    };
    for (const Case& c : {Case{5, 0, true, false}, Case{5, 1, true, true}, Case{6, 0, true, true},
                          Case{5, 0, false, true}}) {
        sim::Machine machine;
        sim::Adapter nic = Nic(2);
        nic.ipv6 = std::array<std::uint8_t, 16>{0x20, 0x01, 0x0d, 0xb8};
        machine.adapters = {nic};
        machine.os = {c.versionOk, c.major, c.minor};
        ScopedMachine installed(machine);
        auto adapters = Collect();
        EXPECT_EQ(adapters->GetPhysicalAdapters().at(0)->GetIPv6AddressList().size(), c.expectAddress ? 1u : 0u)
            << c.major << "." << c.minor << (c.versionOk ? "" : " (version query failed)");
    }
}

TEST(Enumeration, FailedIpv6QueryLeavesTheListAlone) {
    sim::Machine machine;
    sim::Adapter nic = Nic(2);
    nic.ipv6 = std::array<std::uint8_t, 16>{0x20, 0x01};
    machine.adapters = {nic};
    machine.results.adaptersAddresses = 9852;
    ScopedMachine installed(machine);
    AdaptersInfo adapters;
    auto* team = new VirtualNetworkAdapter();
    team->SetDeviceID("\\DEVICE\\TCPIP_" + nic.guid);
    team->SetIPv6AddressList({"KEPT"});
    adapters.AddVirtualAdapter(team);
    adapters.Collect();
    EXPECT_EQ(team->GetIPv6AddressList(), TextList{"KEPT"});
}

TEST(Enumeration, SparseAnswersGiveEmbeddedEntriesAndEmptyValuesNotACrash) {
    sim::Machine machine;
    sim::Adapter bare = Nic(3, {0xab, 0x01});
    bare.ipv4.clear();
    bare.gateways.clear();
    sim::Adapter unlisted = Nic(4);
    unlisted.inInterfaceInfo = false;
    unlisted.inIfTable = false;
    unlisted.perAdapterResult = 87;
    machine.adapters = {bare, unlisted};
    ScopedMachine installed(machine);

    auto adapters = Collect();
    const PhysicalNetworkAdapter& embedded = *adapters->GetPhysicalAdapters().at(0);
    EXPECT_EQ(embedded.GetPermanentAddress(), "AB:01");
    EXPECT_EQ(embedded.GetGatewayList(), std::vector<TCIMValue>{TCIMValue("0.0.0.0")});
    EXPECT_EQ(embedded.GetIPv4AddressList(), TextList{"0.0.0.0/0"});
    const PhysicalNetworkAdapter& missing = *adapters->GetPhysicalAdapters().at(1);
    EXPECT_EQ(missing.GetDeviceID(), "");
    EXPECT_EQ(missing.GetActiveMaximumTransmissionUnit(), 0);
    EXPECT_EQ(missing.GetEnabledState(), 0);
    EXPECT_FALSE(missing.GetAutoConfigEnabled());
}

TEST(Enumeration, BasicCallFailuresEndCollectionWithTheirMessage) {
    struct Case {
        const char* message;
        bool registryPassRuns;
        void (*fail)(sim::Machine&);
    };
    const Case cases[] = {
        {"No Network Adapters Found.", true, [](sim::Machine& m) { m.results.adaptersInfo = 232; }},
        {"No Network Interface Information Found.", false, [](sim::Machine& m) { m.results.interfaceInfo = 50; }},
        {"Unable to retrieve MIB-II Interface Table", false, [](sim::Machine& m) { m.results.ifTable = 50; }},
    };
    for (const Case& c : cases) {
        sim::Machine machine;
        machine.adapters = {Nic(1)};
        sim::DisabledAdapter disabled;
        disabled.guid = "{DISABLED}";
        disabled.device.driverDesc = "Disabled NIC";
        machine.disabledAdapters = {disabled};
        c.fail(machine);
        ScopedMachine installed(machine);
        auto adapters = Collect();
        EXPECT_EQ(LoggedAt(1), std::vector<std::string>{c.message});
        EXPECT_EQ(adapters->GetPhysicalAdapters().size(), c.registryPassRuns ? 1u : 0u) << c.message;
    }
}

}  // namespace
}  // namespace linkscope
