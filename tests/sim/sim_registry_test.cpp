// The registry tree a described machine yields, and the registry calls'
// result codes.
#include <gtest/gtest.h>

#include "sim/small_machine.h"
#include "support/registry_text.h"

namespace linkscope::sim {
namespace {

using platform::kFileNotFound;
using platform::kMoreData;
using platform::kNoMoreItems;
using platform::kSuccess;
using testing::Shown;
using Texts = std::vector<std::string>;

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

TEST_F(SimRegistryTest, ReadsThatDoNotFitReportMoreData) {
    platform::RegistryKey adapter(registry_, kAdapterKey, platform::kKeyRead);
    EXPECT_EQ(registry_.QueryValue(adapter.Handle(), "DriverDesc", 8).result, kSuccess);  // "Renamed" and its NUL
    const auto tooSmall = registry_.QueryValue(adapter.Handle(), "DriverDesc", 7);
    EXPECT_EQ(tooSmall.result, kMoreData);
    EXPECT_EQ(tooSmall.needed, 8u);
    EXPECT_TRUE(tooSmall.data.empty());

    platform::RegistryKey choices(registry_, kAdapterKey + "\\Ndi\\Params\\SpeedDuplex\\enum", 1);
    const auto shortData = registry_.EnumValue(choices.Handle(), 0, 16383, 16);
    EXPECT_EQ(shortData.result, kMoreData);
    EXPECT_EQ(shortData.value.needed, 17u);
    EXPECT_EQ(registry_.EnumValue(choices.Handle(), 0, 0, 8192).result, kMoreData);  // name "0" too long
    EXPECT_EQ(registry_.EnumValue(choices.Handle(), 2, 16383, 8192).result, kNoMoreItems);

    platform::RegistryKey classes(registry_, kDeviceClasses, platform::kKeyAllAccess);
    std::string name;
    EXPECT_EQ(registry_.EnumKey(classes.Handle(), 0, 37, &name), kMoreData);
    EXPECT_EQ(registry_.EnumKey(classes.Handle(), 0, 38, &name), kSuccess);
    EXPECT_EQ(registry_.EnumKey(classes.Handle(), 3, 255, &name), kNoMoreItems);
}

TEST_F(SimRegistryTest, OpenFindsKeysAndValuesInAnyCaseAndReportsFaults) {
    const std::pair<std::string, platform::ResultCode> cases[] = {
        {"system\\CURRENTCONTROLSET\\control\\class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0000", kSuccess},
        {"", kSuccess},
        {"SYSTEM\\Missing", kFileNotFound},
        {"SYSTEM\\", kFileNotFound},
        {"SOFTWARE\\Locked", 5},
        {"SOFTWARE\\Unqueryable", kSuccess},
    };
    for (const auto& [path, result] : cases) {
        EXPECT_EQ(platform::RegistryKey(registry_, path, platform::kKeyRead).OpenResult(), result) << path;
    }
    platform::RegistryKey unqueryable(registry_, "SOFTWARE\\Unqueryable", platform::kKeyRead);
    EXPECT_EQ(registry_.QueryInfoKey(unqueryable.Handle(), nullptr, nullptr), 1u);

    EXPECT_EQ(Shown(registry_, kAdapterKey, "netcfginstanceid"), "1 {A}<00>");
    EXPECT_EQ(Shown(registry_, kAdapterKey, "Missing"), "-");
}

TEST_F(SimRegistryTest, KeysCountTheirSubkeysAndClosedOrUnknownHandlesAreHarmless) {
    platform::RegKey handle = 0;
    ASSERT_EQ(registry_.OpenKey(kDeviceClasses, platform::kKeyRead, &handle), kSuccess);
    std::uint32_t subkeys = 0;
    std::uint32_t values = 9;
    EXPECT_EQ(registry_.QueryInfoKey(handle, &subkeys, &values), kSuccess);
    EXPECT_EQ(subkeys, 3u);
    EXPECT_EQ(values, 0u);
    registry_.CloseKey(handle);
    registry_.CloseKey(handle);
    registry_.CloseKey(12345);
    EXPECT_EQ(registry_.QueryInfoKey(handle, &subkeys, nullptr), platform::kInvalidHandle);
    EXPECT_EQ(registry_.QueryValue(handle, "x", 10).result, platform::kInvalidHandle);
    EXPECT_EQ(registry_.EnumValue(handle, 0, 10, 10).result, platform::kInvalidHandle);
}

}  // namespace
}  // namespace linkscope::sim
