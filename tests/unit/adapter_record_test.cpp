// The setter rules of adapter records, the exclusion switch, the text
// forms of masks, hardware addresses and IPv6 addresses.
#include <gtest/gtest.h>

#include "collect/address_text.h"
#include "collect/network_adapter.h"
#include "support/record_text.h"
#include "support/sim_machine.h"

namespace linkscope {
namespace {

using NQRXKVL20::TCIMValue;
using testing::MachineWithEnvironment;
using testing::ScopedMachine;

TEST(AdapterRecord, DescriptiveTextsDropOnePairOfEnclosingQuotes) {
    ScopedMachine machine(sim::Machine{});
    const std::pair<const char*, const char*> cases[] = {
        {"\"Intel NIC\"", "Intel NIC"}, {"\"Intel NIC", "\"Intel NIC"}, {"Intel NIC\"", "Intel NIC\""},
        {"\"", ""}, {"\"\"", ""}, {"\"\"x\"\"", "\"x\""}, {"", ""}, {"plain", "plain"},
    };
    for (const auto& [offered, stored] : cases) {
        NetworkAdapter adapter;
        adapter.SetDescription(offered);
        adapter.SetOtherIdentifyingInfo(offered);
        EXPECT_EQ(adapter.GetDescription(), stored) << offered;
        EXPECT_EQ(adapter.GetOtherIdentifyingInfo(), stored) << offered;
    }
}

// (A new record's state is 0, so it keeps no DNS servers: the golden
// inventories show that.)
TEST(AdapterRecord, AnOfferOfDnsServersIsIgnoredOnceTheStateIsNot2) {
    ScopedMachine machine(sim::Machine{});
    NetworkAdapter adapter;
    const std::vector<TCIMValue> dns = {TCIMValue("10.0.0.2"), TCIMValue("10.0.0.3")};
    adapter.SetEnabledState(2);
    adapter.SetDnsServers(dns);
    adapter.SetEnabledState(3);
    adapter.SetDnsServers({});
    EXPECT_EQ(adapter.GetDnsServers(), dns);
}

// Fills every field that the exclusion switch guards, plus the identity
// and matching keys it must leave alone.
void FillAddresses(NetworkAdapter& adapter) {
    adapter.SetEnabledState(2);
    adapter.SetPermanentAddress("00:1a:2b:3c:4d:5e");  // stored in upper case
    adapter.SetMacAddress("001A2B3C4D5E");
    adapter.SetDeviceID("\\DEVICE\\TCPIP_{A}");
    adapter.SetName("{A}");
    adapter.SetDescription("NIC");
    adapter.SetDhcpServer("10.0.0.1");
    adapter.SetPrimaryWinsServer("10.0.0.5");
    adapter.SetSecondaryWinsServer("10.0.0.6");
    adapter.SetDnsServers({TCIMValue("10.0.0.2")});
    adapter.SetGatewayList({TCIMValue("10.0.0.1")});
    adapter.SetNetworkAddresses({TCIMValue("00:1A:2B:3C:4D:5E")});
    adapter.SetIPv4AddressList({"10.0.0.5/24"});
    adapter.SetIPv6AddressList({"FE80:00:00:00:21A:2BFF:FE3C:4D5E"});
}

// The filled record as a whole, and with every guarded field empty.
const char kFilled[] = "{A} \\DEVICE\\TCPIP_{A} 'NIC' other '' mac 001A2B3C4D5E 00:1A:2B:3C:4D:5E #0 state 2 link 0 "
                       "mtu 0 '' driver 0 | dhcp 0 10.0.0.1 wins 0 10.0.0.5,10.0.0.6 auto 0/0 | ipv4 10.0.0.5/24 "
                       "ipv6 FE80:00:00:00:21A:2BFF:FE3C:4D5E gw 10.0.0.1 dns 10.0.0.2 hw 00:1A:2B:3C:4D:5E";
const char kExcluded[] = "{A} \\DEVICE\\TCPIP_{A} 'NIC' other '' mac 001A2B3C4D5E  #0 state 2 link 0 mtu 0 '' "
                         "driver 0 | dhcp 0  wins 0 , auto 0/0 | ipv4  ipv6  gw  dns  hw ";

TEST(AdapterRecord, ExclusionSwitchDecidesWhetherAddressesAreStored) {
    const struct {
        const char* name;
        const char* variable;  // null: not defined
        std::string value;
        bool excluded;
    } cases[] = {
        {"absent", nullptr, "", false},
        {"empty", "KVL_EXCLUDEIP", "", false},
        {"any text", "KVL_EXCLUDEIP", "10.0.0.5,10.0.0.6", true},
        {"zero", "KVL_EXCLUDEIP", "0", true},
        {"name in another case", "Kvl_ExcludeIp", "1", true},
        {"longer than the buffer", "KVL_EXCLUDEIP", std::string(40000, 'x'), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedMachine machine(c.variable ? MachineWithEnvironment(c.variable, c.value) : sim::Machine{});
        NetworkAdapter adapter;
        FillAddresses(adapter);
        EXPECT_EQ(adapter.GetExcludeIP(), c.excluded);
        EXPECT_EQ(testing::RecordText(adapter), c.excluded ? kExcluded : kFilled);
    }
}

// A copy runs the setters again, state before DNS list, under the switch
// as it is now; team fields keep their defaults.
TEST(AdapterRecord, ConversionAppliesTheSettersAgainAndReadsTheSwitchAfresh) {
    ScopedMachine machine(sim::Machine{});
    NetworkAdapter source;
    FillAddresses(source);
    source.SetNicType(5);
    source.SetTeamID(9);
    source.SetInTeam(true);
    source.SetSpeed(10000000000ULL);
    const PhysicalNetworkAdapter copy(source);
    EXPECT_EQ(testing::RecordText(copy), kFilled);
    EXPECT_EQ(copy.GetSpeed(), 10000000000ULL);
    EXPECT_EQ(copy.GetNicType() + copy.GetTeamID() + copy.GetInTeam(), 0);
    {
        ScopedMachine excluded(MachineWithEnvironment("KVL_EXCLUDEIP", "1"));
        EXPECT_EQ(testing::RecordText(PhysicalNetworkAdapter(source)), kExcluded);
    }
    source.SetDescription("\"\"quoted\"\"");
    EXPECT_EQ(PhysicalNetworkAdapter(source).GetDescription(), "quoted");
}

TEST(MaskToPrefixLength, CountsTheLastNonZeroOctet) {
    const std::pair<const char*, const char*> cases[] = {
        {"255.255.255.0", "24"},   {"255.255.255.255", "32"}, {"255.255.255.128", "25"},
        {"0.0.0.0", "0"},          {"255.0.0.0", "8"},         {"255.255.240.0", "20"},
        // Odd masks: only the last non-zero octet's bits count.
        {"255.0.255.0", "24"},     {"0.0.0.255", "32"},       {"255.255.255.1", "25"},
        // No dot at all: three octets are counted before the one read.
        {"", "24"},                {"255", "32"},             {"garbage", "24"},
        {"255.255.255.256", "24"}, {"1.2.3.4.5", "26"},
    };
    for (const auto& [mask, prefix] : cases) {
        EXPECT_EQ(NetworkAdapter::MaskToPrefixLength(mask), prefix) << mask;
    }
}

// The common forms are in every enumeration test's records; these are the
// edges: no bytes at all, and IPv6 groups whose low byte is below 16.
TEST(AddressText, EmptyHardwareAddressAndTheIpv6ZeroDigitRule) {
    EXPECT_EQ(BareHardwareAddress({}), "00") << "the first byte is always written";
    EXPECT_EQ(ColonHardwareAddress({}), "00");
    const std::array<std::uint8_t, 16> groups = {0x20, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x0a,
                                                 0x12, 0x34, 0x00, 0xff, 0xff, 0x0f, 0x00, 0x01};
    EXPECT_EQ(Ipv6Text(groups), "2001:100:00:0A:1234:0FF:FF0F:01");
}

// The golden logs hold dumps of every other field; WINS servers only here.
TEST(AdapterDump, EndsWithTheWinsServersWhenWinsIsOn) {
    ScopedMachine machine(sim::Machine{});
    NetworkAdapter adapter;
    adapter.SetHaveWins(true);
    adapter.SetPrimaryWinsServer("10.0.0.5");
    adapter.SetSecondaryWinsServer("10.0.0.6");
    adapter.Dump("teams.cpp", 42);
    const std::string tail = "Have Wins      : true\nPri Wins Server:10.0.0.5\nSec Wins Server:10.0.0.6\nEnabled State  : 0\n";
    ASSERT_EQ(testing::LoggedAt(3).size(), 1u);
    EXPECT_EQ(testing::LoggedAt(3)[0].substr(testing::LoggedAt(3)[0].size() - tail.size()), tail);
}

}  // namespace
}  // namespace linkscope
