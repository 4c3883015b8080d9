// Enumeration of the operating system's adapters into the container, and
// the host parameters.
#include <gtest/gtest.h>

#include "collect/adapters_info.h"
#include "collect/link_codes.h"
#include "collect/network_params.h"
#include "support/record_text.h"
#include "support/sim_machine.h"

namespace linkscope {
namespace {

using testing::LoggedAt;
using testing::RecordTexts;
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

std::array<std::uint8_t, 16> LinkLocal(std::uint8_t last) {
    return {0xfe, 0x80, 0x0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, last};
}

std::unique_ptr<AdaptersInfo> Collect() {
    auto adapters = std::make_unique<AdaptersInfo>();
    adapters->Collect();
    return adapters;
}

// An answer whose address and gateway chains hold only their embedded
// entries, whose DHCP server comes while DHCP is off and whose WINS servers
// are only a secondary one. (Full answers are in the golden inventories.)
TEST(Enumeration, ASparseAnswerGivesEmptyValuesAndNoDhcpServerWhileDhcpIsOff) {
    sim::Adapter bare = Nic(3, {0xab, 0x01});
    bare.dhcpServer = "10.0.0.9";
    bare.wins = {"", "10.0.0.6"};
    bare.ipv4.clear();
    bare.gateways.clear();
    sim::Machine machine;
    machine.adapters = {bare};
    ScopedMachine installed(machine);

    EXPECT_EQ(RecordTexts(*Collect()),
              std::vector<std::string>{bare.guid + " \\DEVICE\\TCPIP_" + bare.guid + " 'NIC 3' mac AB01 AB:01 #3 "
                                       "state 2 link 2 mtu 1500 '' driver 1 | dhcp 0  wins 1 ,10.0.0.6 auto 1/0 | "
                                       "ipv4 0.0.0.0/0 ipv6  gw 0.0.0.0 dns  hw AB:01"});
    EXPECT_TRUE(LoggedAt(1).empty());
}

// Codes missing from either table map to 0.
TEST(LinkCodes, InterfaceTypesAndOperationalStatusesMapToTheirCodes) {
    const std::pair<std::uint32_t, std::int32_t> links[] = {{6, 2}, {24, 1}, {71, 0}, {9, 7},
                                                            {15, 5}, {23, 1}, {28, 1}, {1, 1}};
    for (const auto& [type, link] : links) EXPECT_EQ(LinkTechnologyOfInterfaceType(type), link) << type;
    const std::pair<std::uint32_t, std::int32_t> states[] = {{5, 2},     {4, 2},     {3, 10}, {2, 32768},
                                                             {0, 32768}, {1, 32768}, {6, 0},  {99, 0}};
    for (const auto& [status, state] : states) EXPECT_EQ(EnabledStateOfOperStatus(status), state) << status;
}

TEST(Enumeration, CompletesTeamRecordsInPlaceKeepingWhatTheTeamSet) {
    sim::Machine machine;
    sim::Adapter member = Nic(5);
    member.type = 71;
    sim::Adapter vlan = Nic(6, {0xcc, 0xcc});
    vlan.description = "VLAN 20";
    vlan.perAdapterResult = 87;
    machine.adapters = {member, vlan};
    ScopedMachine installed(machine);

    AdaptersInfo adapters;
    auto* physical = new PhysicalNetworkAdapter();
    physical->SetMacAddress("001A2B3C4D5E");
    physical->SetLinkTechnology(2);
    adapters.AddPhysicalAdapter(physical);
    auto* team = new VirtualNetworkAdapter();
    team->SetMacAddress("CCCC");
    team->SetDescription("Team 1 VLAN 20");
    team->SetEnabledState(2);
    team->SetDhcpEnabled(true);
    team->SetHaveWins(true);
    team->SetAutoConfigEnabled(true);
    team->SetAutoConfigActive(true);
    adapters.AddVirtualAdapter(team);
    adapters.Collect();

    ASSERT_EQ(adapters.GetPhysicalAdapters().size(), 1u);
    EXPECT_EQ(physical->GetLinkTechnology(), 2) << "a set link technology is kept whatever the type";
    // The system's answer replaces the team's flags; a failed per-adapter
    // query clears autoconfiguration.
    EXPECT_EQ(testing::RecordText(*team),
              vlan.guid + " \\DEVICE\\TCPIP_" + vlan.guid + " 'VLAN 20' mac CCCC CC:CC #6 state 2 link 2 mtu 1500 '' "
              "driver 1 | dhcp 0  wins 0 , auto 0/0 | ipv4 10.0.0.6/24 ipv6  gw 10.0.0.1 dns  hw CC:CC");
}

// Three adapters with one hardware address bind to one record: the first
// sets its state, which later bindings keep; each binding takes its own
// adapter's name, port, DNS servers and IPv6 addresses (the chain of every
// entry with that name), also when the name comes back after another one.
TEST(Enumeration, LaterBindingsToOneRecordKeepItsStateAndReplaceTheRest) {
    sim::Machine machine;
    sim::Adapter first = Nic(11);
    first.ipv6 = LinkLocal(1);
    sim::Adapter other = Nic(12);
    other.guid = "{OTHER}";
    other.operStatus = 2;
    other.ipv6 = LinkLocal(2);
    sim::Adapter again = Nic(13);
    again.guid = first.guid;
    again.operStatus = 3;
    again.dns = {"10.0.0.3"};
    again.ipv6 = LinkLocal(3);
    machine.adapters = {first, other, again};
    ScopedMachine installed(machine);

    EXPECT_EQ(RecordTexts(*Collect()),
              std::vector<std::string>{
                  first.guid + " \\DEVICE\\TCPIP_" + first.guid + " 'NIC 13' mac 001A2B3C4D5E 00:1A:2B:3C:4D:5E #13 "
                  "state 2 link 2 mtu 1500 '' driver 1 | dhcp 0  wins 0 , auto 1/0 | ipv4 10.0.0.13/24 ipv6 "
                  "FE80:F00:00:00:00:00:00:01,FE80:F00:00:00:00:00:00:03 gw 10.0.0.1 dns 10.0.0.3 hw 00:1A:2B:3C:4D:5E"});
}

// The IPv6 step is skipped on version 5.0 (when the version is known) and
// after a failed query: a record keeps the list it had.
TEST(Enumeration, Ipv6StepDependsOnTheSystemVersionAndTheQueryResult) {
    const struct {
        sim::OsVersion os;
        std::uint32_t result;
        bool replaced;
    } cases[] = {
        {{true, 5, 0}, 0, false}, {{true, 5, 1}, 0, true},    {{true, 6, 0}, 0, true},
        {{false, 5, 0}, 0, true}, {{true, 6, 0}, 9852, false},
    };
    for (const auto& c : cases) {
        sim::Machine machine;
        machine.adapters = {Nic(2)};
        machine.adapters[0].ipv6 = std::array<std::uint8_t, 16>{0x20, 0x01};
        machine.os = c.os;
        machine.results.adaptersAddresses = c.result;
        ScopedMachine installed(machine);
        AdaptersInfo adapters;
        auto* team = new VirtualNetworkAdapter();  // bound by its device name
        team->SetDeviceID("\\DEVICE\\TCPIP_" + machine.adapters[0].guid);
        team->SetIPv6AddressList({"KEPT"});
        adapters.AddVirtualAdapter(team);
        adapters.Collect();
        EXPECT_EQ(team->GetIPv6AddressList(), TextList{c.replaced ? "2001:00:00:00:00:00:00:00" : "KEPT"})
            << c.os.major << "." << c.os.minor << (c.os.ok ? "" : " (version query failed)") << " result " << c.result;
    }
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

// Only 1 means enabled; a failure is logged with its code in hex and
// leaves everything empty.
TEST(NetworkParams, TakesTheHostsParametersOrLogsTheFailure) {
    const struct {
        std::uint32_t result;
        const char* summary;
        std::vector<std::string> logged;
    } cases[] = {
        {0, "lab-01 'corp.example' routing 1 proxy 0", {}},
        {111, " '' routing 0 proxy 0", {"Call to GetNetworkParams failed. Return Value: 0000006f\n"}},
    };
    for (const auto& c : cases) {
        sim::Machine machine;
        machine.host = {"lab-01", "corp.example", 1, 2};
        machine.results.networkParams = c.result;
        ScopedMachine installed(machine);
        NetworkParams params;
        params.Collect();
        EXPECT_EQ(params.GetHostName() + " '" + params.GetDomainName() + "' routing " +
                      std::to_string(params.IsRoutingEnabled()) + " proxy " + std::to_string(params.IsProxyEnabled()),
                  c.summary);
        EXPECT_EQ(LoggedAt(1), c.logged);
    }
}

}  // namespace
}  // namespace linkscope
