// The IP Helper, environment and device-list answers of a described machine.
#include <gtest/gtest.h>

#include "sim/small_machine.h"

namespace linkscope::sim {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Pairs AddressPairs(const std::vector<platform::IpAddressString>& chain) {
    Pairs pairs;
    for (const auto& entry : chain) pairs.emplace_back(entry.address, entry.mask);
    return pairs;
}

class SimIpHelperTest : public ::testing::Test {
protected:
    std::unique_ptr<platform::Platform> platform_ = SmallPlatform();
    platform::IpHelperApi& ip_ = platform_->IpHelper();
};

TEST_F(SimIpHelperTest, AdapterChainsHoldTheirEmbeddedEntry) {
    const auto answer = ip_.GetAdaptersInfo();
    ASSERT_EQ(answer.result, platform::kSuccess);
    ASSERT_EQ(answer.adapters.size(), 2u);  // {C} is not listed
    const auto& first = answer.adapters[0];
    EXPECT_EQ(first.adapterName, "{A}");
    EXPECT_EQ(first.hardwareAddress, (std::vector<std::uint8_t>{0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E}));
    EXPECT_EQ(first.type, 6u);
    EXPECT_EQ(first.dhcpEnabled, 1u);
    EXPECT_EQ(first.dhcpServer, "10.0.0.1");
    EXPECT_EQ(first.haveWins, 1u);
    EXPECT_EQ(first.primaryWinsServer, "10.0.0.5");
    EXPECT_EQ(first.secondaryWinsServer, "");
    EXPECT_EQ(AddressPairs(first.ipAddresses), (Pairs{{"10.0.0.7", "255.255.255.0"}, {"10.0.1.7", "255.255.0.0"}}));
    EXPECT_EQ(AddressPairs(first.gateways), (Pairs{{"10.0.0.1", ""}}));

    const auto& bare = answer.adapters[1];
    EXPECT_EQ(bare.type, 71u);
    EXPECT_TRUE(bare.hardwareAddress.empty());
    EXPECT_EQ(bare.dhcpEnabled, 0u);
    EXPECT_EQ(bare.haveWins, 0u);
    EXPECT_EQ(AddressPairs(bare.ipAddresses), (Pairs{{"0.0.0.0", "0.0.0.0"}}));
    EXPECT_EQ(AddressPairs(bare.gateways), (Pairs{{"0.0.0.0", ""}}));
}

TEST_F(SimIpHelperTest, InterfacePairsAndRows) {
    const auto pairs = ip_.GetInterfaceInfo().pairs;
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0].index, 12u);
    EXPECT_EQ(pairs[0].name, "\\DEVICE\\TCPIP_{A}");
    EXPECT_EQ(pairs[1].name, "\\DEVICE\\CUSTOM");

    const auto rows = ip_.GetIfTable().rows;  // sorted by index, equal indices in file order
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].index, 3u);
    EXPECT_EQ(rows[0].mtu, 9000u);
    EXPECT_EQ(rows[0].operStatus, 2u);
    EXPECT_EQ(rows[1].index, 12u);
    EXPECT_EQ(rows[1].mtu, 1500u);
    EXPECT_EQ(rows[1].operStatus, 5u);
    EXPECT_EQ(rows[2].index, 12u);
}

TEST_F(SimIpHelperTest, PerAdapterAnswersByFirstAdapterOfTheIndex) {
    const auto first = ip_.GetPerAdapterInfo(12);
    EXPECT_EQ(first.result, platform::kSuccess);
    EXPECT_EQ(first.dnsServers, (std::vector<std::string>{"10.0.0.2", "10.0.0.3"}));
    EXPECT_EQ(first.autoconfigEnabled, 1u);
    EXPECT_EQ(first.autoconfigActive, 1u);

    const auto failing = ip_.GetPerAdapterInfo(3);
    EXPECT_EQ(failing.result, platform::kBufferOverflow);
    EXPECT_TRUE(failing.dnsServers.empty());

    EXPECT_EQ(ip_.GetPerAdapterInfo(99).result, platform::kInvalidParameter);
}

TEST_F(SimIpHelperTest, Ipv6EntriesHostAndVersion) {
    const auto ipv6 = ip_.GetAdaptersAddressesIPv6();
    EXPECT_TRUE(ipv6.resolved);
    ASSERT_EQ(ipv6.entries.size(), 2u);
    EXPECT_EQ(ipv6.entries[0].adapterName, "{A}");
    EXPECT_TRUE(ipv6.entries[0].hasUnicast);
    EXPECT_EQ(ipv6.entries[0].firstUnicast[0], 0xFE);
    EXPECT_EQ(ipv6.entries[0].firstUnicast[15], 0x5E);
    EXPECT_FALSE(ipv6.entries[1].hasUnicast);

    const auto params = ip_.GetNetworkParams();
    EXPECT_EQ(params.info.hostName, "lab-01");
    EXPECT_EQ(params.info.domainName, "corp.example");
    EXPECT_EQ(params.info.enableProxy, 2u);

    const auto version = ip_.GetVersion();
    EXPECT_TRUE(version.ok);
    EXPECT_EQ(version.major, 10u);
}

TEST(SimIpHelperResultsTest, OverriddenResultsEmptyTheirAnswers) {
    const auto platform = MakeSimulatedPlatform(ParseMachine(R"({
      "results": {"GetNetworkParams": 111, "GetAdaptersInfo": 8, "GetInterfaceInfo": 122, "GetIfTable": 50,
                  "GetAdaptersAddresses": 8, "GetPresentDevices": false},
      "os": {"fail": true},
      "host": {"hostName": "hidden"},
      "adapters": [{"guid": "{A}", "index": 1, "device": {}}]})", "r.json"));
    auto& ip = platform->IpHelper();
    EXPECT_EQ(ip.GetNetworkParams().result, 111u);
    EXPECT_EQ(ip.GetNetworkParams().info.hostName, "");
    EXPECT_EQ(ip.GetAdaptersInfo().result, 8u);
    EXPECT_TRUE(ip.GetAdaptersInfo().adapters.empty());
    EXPECT_TRUE(ip.GetInterfaceInfo().pairs.empty());
    EXPECT_EQ(ip.GetIfTable().result, 50u);
    EXPECT_TRUE(ip.GetIfTable().rows.empty());
    EXPECT_EQ(ip.GetAdaptersAddressesIPv6().result, 8u);
    EXPECT_TRUE(ip.GetAdaptersAddressesIPv6().entries.empty());
    EXPECT_FALSE(ip.GetVersion().ok);
    EXPECT_FALSE(platform->DeviceSetup().GetPresentDevices().ok);
}

TEST(SimIpHelperResultsTest, NoAdapterMeansNoDataUnlessOverridden) {
    EXPECT_EQ(MakeSimulatedPlatform(ParseMachine("{}", "e.json"))->IpHelper().GetAdaptersInfo().result,
              platform::kNoData);
    const auto overridden = ParseMachine(R"({"results": {"GetAdaptersInfo": 0}})", "e.json");
    EXPECT_EQ(MakeSimulatedPlatform(overridden)->IpHelper().GetAdaptersInfo().result, platform::kSuccess);
    const auto unresolved = ParseMachine(R"({"ipv6Available": false})", "e.json");
    EXPECT_FALSE(MakeSimulatedPlatform(unresolved)->IpHelper().GetAdaptersAddressesIPv6().resolved);
}

TEST(SimEnvironmentTest, CountsAsTheSystemCallDoes) {
    const auto platform = MakeSimulatedPlatform(ParseMachine(kSmallMachine, "small.json"),
                                                {{"kvl_excludeip", "1"}, {"ADDED", "abc"}});
    auto& overridden = platform->Environment();
    EXPECT_EQ(overridden.GetVariable("KVL_EXCLUDEIP", 32767), 1u);
    EXPECT_EQ(overridden.GetVariable("Added", 32767), 3u);

    auto original = SmallPlatform();
    auto& env = original->Environment();
    struct Case {
        const char* name;
        std::uint32_t bufferSize;
        std::uint32_t count;
    };
    const Case cases[] = {
        {"KVL_EXCLUDEIP", 32767, 10},  // "10.0.0.0/8": its length
        {"KVL_EXCLUDEIP", 11, 10},     // just fits with its NUL
        {"KVL_EXCLUDEIP", 10, 11},     // does not fit: the size needed
        {"kvl_excludeip", 32767, 10},  // names in any case
        {"EMPTY", 32767, 0},
        {"MISSING", 32767, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(env.GetVariable(c.name, c.bufferSize), c.count) << c.name;
}

TEST(SimDeviceSetupTest, NetworkDevicesThenRawDevices) {
    const auto devices = SmallPlatform()->DeviceSetup().GetPresentDevices();
    ASSERT_TRUE(devices.ok);
    ASSERT_EQ(devices.devices.size(), 3u);  // {A}, disabled {D}, the display
    EXPECT_EQ(devices.devices[0].className, "Net");
    EXPECT_EQ(devices.devices[0].classGuid, "{4D36E972-E325-11CE-BFC1-08002BE10318}");
    EXPECT_EQ(devices.devices[0].driverKey, "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0000");
    EXPECT_EQ(devices.devices[1].driverKey, "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0001");
    EXPECT_EQ(devices.devices[2].className, "Display");
    EXPECT_FALSE(devices.devices[2].driverKey.has_value());
}

}  // namespace
}  // namespace linkscope::sim
