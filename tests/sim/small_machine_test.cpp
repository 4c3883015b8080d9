// What a described machine answers: its IP Helper, environment and device
// list answers, and its registry tree with the faults the file injects.
#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/machine_file.h"
#include "support/platform_text.h"
#include "support/registry_text.h"

namespace linkscope::sim {
namespace {

using platform::kFileNotFound;
using platform::kSuccess;
using testing::Lines;
using testing::Shown;
using testing::Text;
using testing::Texts;

// A small machine that touches every part of the description format.
constexpr char kSmallMachine[] = R"({
  "host": {"hostName": "lab-01", "domainName": "corp.example", "enableProxy": 2},
  "environment": {"Kvl_ExcludeIp": "10.0.0.0/8", "EMPTY": ""},
  "adapters": [
    {"guid": "{A}", "description": "First", "mac": "00:1a:2b:3c:4d:5e", "index": 12,
     "dhcpServer": "10.0.0.1", "wins": ["10.0.0.5"],
     "ipv4": ["10.0.0.7/24", "10.0.1.7/255.255.0.0"], "gateways": ["10.0.0.1"], "dns": ["10.0.0.2", "10.0.0.3"],
     "autoconfig": {"active": true}, "ipv6": "fe80::21a:2bff:fe3c:4d5e",
     "device": {"speedDuplex": {"value": "0", "enum": {"0": "Auto Negotiation", "4": "100Mbps Full"}}}},
    {"guid": "{B}", "index": 3, "type": 71, "mtu": 9000, "operStatus": 2, "deviceName": "\\DEVICE\\CUSTOM",
     "perAdapterResult": 111},
    {"guid": "{C}", "index": 12, "inAdaptersInfo": false, "inInterfaceInfo": false, "inAdaptersAddresses": false}
  ],
  "disabledAdapters": [
    {"guid": "{D}", "driverDesc": "Off", "requestedMediaType": {"value": "6"}, "interfaceClasses": 2}
  ],
  "devices": [{"class": "Display"}],
  "registry": {
    "system\\currentcontrolset\\control\\class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0000":
      {"DriverDesc": "Renamed", "Flags": 7, "Blob": {"hex": "00ff"}, "Raw": {"type": 1, "hex": "4142"}},
    "SOFTWARE\\Locked": {"@openResult": 5},
    "SOFTWARE\\Unqueryable": {"@queryInfoResult": 1}
  }
})";

std::unique_ptr<platform::Platform> SmallPlatform() {
    return MakeSimulatedPlatform(ParseMachine(kSmallMachine, "small.json"));
}

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

// The network devices' driver keys lead the collectors to the class keys
// in the device registry tests; a raw device follows them, without one.
TEST(SimDeviceSetupTest, NetworkDevicesThenRawDevices) {
    const auto devices = SmallPlatform()->DeviceSetup().GetPresentDevices();
    ASSERT_TRUE(devices.ok);
    ASSERT_EQ(devices.devices.size(), 3u);  // {A}, disabled {D}, the display
    EXPECT_EQ(devices.devices[2].className, "Display");
    EXPECT_FALSE(devices.devices[2].driverKey.has_value());
}

const std::string kDeviceClasses = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses";
const std::string kAdapterKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\0000";
const std::string kClass0 = "{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";
const std::string kClass1 = "{ad498944-762f-11d0-8dcb-00c04fc3358c}";
const std::string kClass2 = "{cac88484-7515-4c03-82e6-71a87abac361}";

class SimRegistryTest : public ::testing::Test {
protected:
    Texts Subkeys(const std::string& path) { return testing::Subkeys(registry_, path); }
    Texts Values(const std::string& path) { return testing::Values(registry_, path); }

    std::unique_ptr<platform::Platform> platform_ = SmallPlatform();
    platform::RegistryApi& registry_ = platform_->Registry();
};

TEST_F(SimRegistryTest, DeviceClassesHoldEachDeviceInterface) {
    EXPECT_EQ(Subkeys(kDeviceClasses), (Texts{kClass0, kClass1, kClass2}));
    EXPECT_EQ(Subkeys(kDeviceClasses + "\\" + kClass0),
              (Texts{"##?#ROOT#NET#0000#" + kClass0, "##?#ROOT#NET#0001#" + kClass0}));
    EXPECT_EQ(Subkeys(kDeviceClasses + "\\" + kClass1), (Texts{"##?#ROOT#NET#0001#" + kClass1}));
    EXPECT_TRUE(Subkeys(kDeviceClasses + "\\" + kClass2).empty());

    const std::string adapterInterface = kDeviceClasses + "\\" + kClass0 + "\\##?#ROOT#NET#0000#" + kClass0;
    EXPECT_EQ(Subkeys(adapterInterface), (Texts{"#{A}"}));
    EXPECT_EQ(Values(adapterInterface + "\\#{A}\\Control"), (Texts{"Linked 4 <01><00><00><00>"}));
    for (const std::string& c : {kClass0, kClass1}) {
        EXPECT_EQ(Values(kDeviceClasses + "\\" + c + "\\##?#ROOT#NET#0001#" + c + "\\#{D}\\Control"),
                  (Texts{"Linked 4 <00><00><00><00>"}));
    }
}

TEST_F(SimRegistryTest, ClassKeysHoldGeneratedThenRawValues) {
    // The raw "DriverDesc" replaced the generated one in place.
    EXPECT_EQ(Values(kAdapterKey), (Texts{"NetCfgInstanceId 1 {A}<00>", "DriverDesc 1 Renamed<00>",
                                          "SpeedDuplex 1 0<00>", "Flags 4 <07><00><00><00>", "Blob 3 <00><FF>",
                                          "Raw 1 AB"}));
    EXPECT_EQ(Values(kAdapterKey + "\\Ndi\\Params\\SpeedDuplex\\enum"),
              (Texts{"0 1 Auto Negotiation<00>", "4 1 100Mbps Full<00>"}));

    const std::string disabled = kAdapterKey.substr(0, kAdapterKey.size() - 1) + "1";
    EXPECT_EQ(Values(disabled), (Texts{"NetCfgInstanceId 1 {D}<00>", "DriverDesc 1 Off<00>",
                                       "RequestedMediaType 1 6<00>"}));
    platform::RegistryKey noChoices(registry_, disabled + "\\Ndi\\Params\\RequestedMediaType\\enum", 1);
    EXPECT_EQ(noChoices.OpenResult(), kFileNotFound);
}

TEST_F(SimRegistryTest, NamesMatchInAnyCaseAndKeySettingsInjectFaults) {
    const std::pair<std::string, platform::ResultCode> cases[] = {
        {"system\\CURRENTCONTROLSET\\control\\class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0000", kSuccess},
        {"SOFTWARE\\Locked", 5},
        {"SOFTWARE\\Unqueryable", kSuccess},
    };
    for (const auto& [path, result] : cases) {
        EXPECT_EQ(platform::RegistryKey(registry_, path, platform::kKeyRead).OpenResult(), result) << path;
    }
    platform::RegistryKey unqueryable(registry_, "SOFTWARE\\Unqueryable", platform::kKeyRead);
    EXPECT_EQ(registry_.QueryInfoKey(unqueryable.Handle(), nullptr, nullptr), 1u);

    EXPECT_EQ(Shown(registry_, kAdapterKey, "netcfginstanceid"), "1 {A}<00>");
}

}  // namespace
}  // namespace linkscope::sim
