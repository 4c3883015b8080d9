// The IP Helper, environment and device-list answers of a described machine.
#include <gtest/gtest.h>

#include "sim/small_machine.h"
#include "support/platform_text.h"

namespace linkscope::sim {
namespace {

using testing::Lines;
using testing::Texts;
using testing::Text;

TEST(SimIpHelperTest, AnswersOfTheSmallMachine) {
    const auto platform = SmallPlatform();
    platform::IpHelperApi& ip = platform->IpHelper();

    const auto adapters = ip.GetAdaptersInfo();
    EXPECT_EQ(adapters.result, platform::kSuccess);
    EXPECT_EQ(Lines(adapters.adapters),
              (Texts{"{A} 'First' 00:1A:2B:3C:4D:5E #12 type 6 dhcp 1 10.0.0.1 wins 1 10.0.0.5, "
                     "ip 10.0.0.7/255.255.255.0,10.0.1.7/255.255.0.0 gw 10.0.0.1",
                     "{B} '' - #3 type 71 dhcp 0  wins 0 , ip 0.0.0.0/0.0.0.0 gw 0.0.0.0"}))
        << "{C} is not listed";
    EXPECT_EQ(Lines(ip.GetInterfaceInfo().pairs), (Texts{"12 \\DEVICE\\TCPIP_{A}", "3 \\DEVICE\\CUSTOM"}));
    EXPECT_EQ(Lines(ip.GetIfTable().rows), (Texts{"3 mtu 9000 status 2", "12 mtu 1500 status 5", "12 mtu 1500 status 5"}))
        << "sorted by index, equal indices in file order";

    // Per-adapter answers come from the first adapter of the index.
    EXPECT_EQ(Text(ip.GetPerAdapterInfo(12)), "result 0 auto 1/1 dns 10.0.0.2,10.0.0.3");
    EXPECT_EQ(Text(ip.GetPerAdapterInfo(3)), "result 111 auto 0/0 dns ");
    EXPECT_EQ(ip.GetPerAdapterInfo(99).result, platform::kInvalidParameter);

    const auto ipv6 = ip.GetAdaptersAddressesIPv6();
    EXPECT_TRUE(ipv6.resolved);
    EXPECT_EQ(Lines(ipv6.entries), (Texts{"{A} FE80000000000000021A2BFFFE3C4D5E", "{B} -"}));
    const auto params = ip.GetNetworkParams().info;
    EXPECT_EQ(params.hostName + " " + params.domainName + " " + std::to_string(params.enableProxy),
              "lab-01 corp.example 2");
    EXPECT_EQ(ip.GetVersion().major, 10u);
}

TEST(SimIpHelperTest, OverriddenResultsEmptyTheirAnswers) {
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

    auto answerOf = [](const char* json) {
        return MakeSimulatedPlatform(ParseMachine(json, "e.json"))->IpHelper().GetAdaptersInfo().result;
    };
    EXPECT_EQ(answerOf("{}"), platform::kNoData) << "no adapter";
    EXPECT_EQ(answerOf(R"({"results": {"GetAdaptersInfo": 0}})"), platform::kSuccess);
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
    const struct {
        const char* name;
        std::uint32_t bufferSize;
        std::uint32_t count;
    } cases[] = {
        {"KVL_EXCLUDEIP", 32767, 10},  // "10.0.0.0/8": its length
        {"KVL_EXCLUDEIP", 11, 10},     // just fits with its NUL
        {"KVL_EXCLUDEIP", 10, 11},     // does not fit: the size needed
        {"kvl_excludeip", 32767, 10},  // names in any case
        {"EMPTY", 32767, 0},
        {"MISSING", 32767, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(env.GetVariable(c.name, c.bufferSize), c.count) << c.name;
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
