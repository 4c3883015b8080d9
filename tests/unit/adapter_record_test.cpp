// The setter rules of adapter records and the exclusion switch.
#include <gtest/gtest.h>

#include "collect/network_adapter.h"
#include "support/sim_machine.h"

namespace linkscope {
namespace {

using NQRXKVL20::TCIMValue;
using testing::MachineWithEnvironment;
using testing::ScopedMachine;

struct QuoteCase {
    const char* offered;
    const char* stored;
};

class DescriptionQuotes : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(DescriptionQuotes, BothDescriptiveTextsDropOnePairOfEnclosingQuotes) {
    ScopedMachine machine(sim::Machine{});
    NetworkAdapter adapter;
    adapter.SetDescription(GetParam().offered);
    adapter.SetOtherIdentifyingInfo(GetParam().offered);
    EXPECT_EQ(adapter.GetDescription(), GetParam().stored);
    EXPECT_EQ(adapter.GetOtherIdentifyingInfo(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Cases, DescriptionQuotes,
                         ::testing::Values(QuoteCase{"\"Intel NIC\"", "Intel NIC"},
                                           QuoteCase{"\"Intel NIC", "\"Intel NIC"},
                                           QuoteCase{"Intel NIC\"", "Intel NIC\""},
                                           QuoteCase{"\"", ""},
                                           QuoteCase{"\"\"", ""},
                                           QuoteCase{"\"\"x\"\"", "\"x\""},
                                           QuoteCase{"", ""},
                                           QuoteCase{"plain", "plain"}));

TEST(AdapterRecord, PermanentAddressIsKeptInUpperCase) {
    ScopedMachine machine(sim::Machine{});
    NetworkAdapter adapter;
    adapter.SetPermanentAddress("00:1a:2b:3c:4d:ef");
    EXPECT_EQ(adapter.GetPermanentAddress(), "00:1A:2B:3C:4D:EF");
}

TEST(AdapterRecord, DnsServersAreKeptOnlyWhileTheAdapterIsEnabled) {
    ScopedMachine machine(sim::Machine{});
    NetworkAdapter adapter;
    const std::vector<TCIMValue> dns = {TCIMValue("10.0.0.2"), TCIMValue("10.0.0.3")};
    adapter.SetDnsServers(dns);
    EXPECT_TRUE(adapter.GetDnsServers().empty());
    adapter.SetEnabledState(2);
    adapter.SetDnsServers(dns);
    EXPECT_EQ(adapter.GetDnsServers(), dns);
    adapter.SetEnabledState(3);
    adapter.SetDnsServers({});
    EXPECT_EQ(adapter.GetDnsServers(), dns) << "a later offer is ignored once the state is not 2";
}

// Fills every field that the exclusion switch guards, plus the ones it
// must leave alone.
void FillAddresses(NetworkAdapter& adapter) {
    adapter.SetEnabledState(2);
    adapter.SetPermanentAddress("00:1a:2b:3c:4d:5e");
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

struct SwitchCase {
    const char* name;
    bool defined;
    const char* value;
    bool excluded;
};

class ExclusionSwitch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(ExclusionSwitch, DecidesWhetherAddressesAreStored) {
    const SwitchCase& c = GetParam();
    const std::string value = c.value ? c.value : std::string(40000, 'x');
    ScopedMachine machine(c.defined ? MachineWithEnvironment("KVL_EXCLUDEIP", value) : sim::Machine{});
    NetworkAdapter adapter;
    FillAddresses(adapter);
    EXPECT_EQ(adapter.GetExcludeIP(), c.excluded);
    EXPECT_EQ(adapter.GetPermanentAddress().empty(), c.excluded);
    EXPECT_EQ(adapter.GetDhcpServer().empty(), c.excluded);
    EXPECT_EQ(adapter.GetPrimaryWinsServer().empty(), c.excluded);
    EXPECT_EQ(adapter.GetSecondaryWinsServer().empty(), c.excluded);
    EXPECT_EQ(adapter.GetDnsServers().empty(), c.excluded);
    EXPECT_EQ(adapter.GetGatewayList().empty(), c.excluded);
    EXPECT_EQ(adapter.GetNetworkAddresses().empty(), c.excluded);
    EXPECT_EQ(adapter.GetIPv4AddressList().empty(), c.excluded);
    EXPECT_EQ(adapter.GetIPv6AddressList().empty(), c.excluded);
    // Identity and matching keys are stored either way.
    EXPECT_EQ(adapter.GetMacAddress(), "001A2B3C4D5E");
    EXPECT_EQ(adapter.GetDeviceID(), "\\DEVICE\\TCPIP_{A}");
    EXPECT_EQ(adapter.GetName(), "{A}");
    EXPECT_EQ(adapter.GetDescription(), "NIC");
}

INSTANTIATE_TEST_SUITE_P(Cases, ExclusionSwitch,
                         ::testing::Values(SwitchCase{"Absent", false, "", false},
                                           SwitchCase{"Empty", true, "", false},
                                           SwitchCase{"AnyText", true, "10.0.0.5,10.0.0.6", true},
                                           SwitchCase{"Zero", true, "0", true},
                                           SwitchCase{"LongerThanTheBuffer", true, nullptr, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AdapterRecord, ConversionAppliesTheSettersAgainAndKeepsTeamFieldsAtDefaults) {
    ScopedMachine machine(sim::Machine{});
    NetworkAdapter source;
    FillAddresses(source);
    source.SetDescription("\"\"quoted\"\"");
    source.SetNicType(5);
    source.SetTeamID(9);
    source.SetInTeam(true);
    source.SetSpeed(10000000000ULL);
    source.SetPortNumber(11);

    PhysicalNetworkAdapter copy(source);
    EXPECT_EQ(copy.GetDescription(), "quoted") << "the quote rule runs again on the copy";
    EXPECT_EQ(copy.GetNicType(), 0);
    EXPECT_EQ(copy.GetTeamID(), 0);
    EXPECT_FALSE(copy.GetInTeam());
    EXPECT_EQ(copy.GetDnsServers().size(), 1u) << "the state is copied before the DNS list";
    EXPECT_EQ(copy.GetSpeed(), 10000000000ULL);
    EXPECT_EQ(copy.GetPortNumber(), 11);
    EXPECT_EQ(copy.GetIPv6AddressList(), source.GetIPv6AddressList());
    EXPECT_TRUE(copy.GetVendorName().empty());
    EXPECT_EQ(copy.GetMemberTeamID(), 0);
}

TEST(AdapterRecord, ConversionReadsTheSwitchAfresh) {
    auto source = [] {
        ScopedMachine machine(sim::Machine{});
        auto adapter = std::make_unique<NetworkAdapter>();
        FillAddresses(*adapter);
        return adapter;
    }();
    ScopedMachine excluded(MachineWithEnvironment("KVL_EXCLUDEIP", "1"));
    PhysicalNetworkAdapter copy(*source);
    EXPECT_TRUE(copy.GetExcludeIP());
    EXPECT_TRUE(copy.GetPermanentAddress().empty());
    EXPECT_TRUE(copy.GetIPv4AddressList().empty());
    EXPECT_EQ(copy.GetMacAddress(), "001A2B3C4D5E");
}

}  // namespace
}  // namespace linkscope
