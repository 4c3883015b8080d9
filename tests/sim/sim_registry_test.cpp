// The registry tree a described machine yields, and the registry calls'
// result codes.
#include <gtest/gtest.h>

#include "platform/registry_key.h"
#include "sim/small_machine.h"

namespace linkscope::sim {
namespace {

using platform::kFileNotFound;
using platform::kMoreData;
using platform::kNoMoreItems;
using platform::kSuccess;
using Bytes = std::vector<std::uint8_t>;

const std::string kDeviceClasses = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses";
const std::string kNetClasses = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
const std::string kClass0 = "{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";
const std::string kClass1 = "{ad498944-762f-11d0-8dcb-00c04fc3358c}";
const std::string kClass2 = "{cac88484-7515-4c03-82e6-71a87abac361}";

Bytes Data(const std::string& text) { return Bytes(text.begin(), text.end()); }

class SimRegistryTest : public ::testing::Test {
protected:
    std::vector<std::string> Subkeys(const std::string& path) {
        platform::RegistryKey key(registry_, path, platform::kKeyAllAccess);
        std::uint32_t count = 0;
        EXPECT_EQ(registry_.QueryInfoKey(key.Handle(), &count, nullptr), kSuccess) << path;
        std::vector<std::string> names(count);
        for (std::uint32_t i = 0; i < count; ++i) registry_.EnumKey(key.Handle(), i, 255, &names[i]);
        return names;
    }
    platform::RegValue Value(const std::string& path, const std::string& name, std::uint32_t bufferSize = 8192) {
        platform::RegistryKey key(registry_, path, platform::kKeyRead);
        EXPECT_TRUE(key.IsOpen()) << path;
        return registry_.QueryValue(key.Handle(), name, bufferSize);
    }
    std::vector<std::string> ValueNames(const std::string& path) {
        platform::RegistryKey key(registry_, path, platform::kKeyRead);
        std::vector<std::string> names;
        for (std::uint32_t i = 0;; ++i) {
            const auto entry = registry_.EnumValue(key.Handle(), i, 16383, 8192);
            if (entry.result != kSuccess) break;
            names.push_back(entry.name);
        }
        return names;
    }

    std::unique_ptr<platform::Platform> platform_ = SmallPlatform();
    platform::RegistryApi& registry_ = platform_->Registry();
};

TEST_F(SimRegistryTest, DeviceClassesHoldEachDeviceInterface) {
    EXPECT_EQ(Subkeys(kDeviceClasses), (std::vector<std::string>{kClass0, kClass1, kClass2}));
    const std::string adapterKey = "##?#ROOT#NET#0000#" + kClass0;
    EXPECT_EQ(Subkeys(kDeviceClasses + "\\" + kClass0),
              (std::vector<std::string>{adapterKey, "##?#ROOT#NET#0001#" + kClass0}));
    EXPECT_EQ(Subkeys(kDeviceClasses + "\\" + kClass1), (std::vector<std::string>{"##?#ROOT#NET#0001#" + kClass1}));
    EXPECT_TRUE(Subkeys(kDeviceClasses + "\\" + kClass2).empty());

    const std::string adapterInterface = kDeviceClasses + "\\" + kClass0 + "\\" + adapterKey;
    EXPECT_EQ(Subkeys(adapterInterface), (std::vector<std::string>{"#{A}"}));
    EXPECT_EQ(Value(adapterInterface + "\\#{A}\\Control", "Linked").data, (Bytes{1, 0, 0, 0}));
    for (const std::string& c : {kClass0, kClass1}) {
        const auto linked = Value(kDeviceClasses + "\\" + c + "\\##?#ROOT#NET#0001#" + c + "\\#{D}\\Control", "Linked");
        EXPECT_EQ(linked.type, platform::kRegDword);
        EXPECT_EQ(linked.data, (Bytes{0, 0, 0, 0}));
    }
}

TEST_F(SimRegistryTest, ClassKeysHoldGeneratedThenRawValues) {
    const std::string adapter = kNetClasses + "\\0000";
    EXPECT_EQ(ValueNames(adapter),
              (std::vector<std::string>{"NetCfgInstanceId", "DriverDesc", "SpeedDuplex", "Flags", "Blob", "Raw"}));
    EXPECT_EQ(Value(adapter, "NetCfgInstanceId").data, Data(std::string("{A}") + '\0'));
    EXPECT_EQ(Value(adapter, "DriverDesc").data, Data(std::string("Renamed") + '\0'));  // raw value replaced it
    EXPECT_EQ(Value(adapter, "SpeedDuplex").data, Data(std::string("0") + '\0'));
    EXPECT_EQ(Value(adapter, "Flags").data, (Bytes{7, 0, 0, 0}));
    EXPECT_EQ(Value(adapter, "Blob").type, platform::kRegBinary);
    EXPECT_EQ(Value(adapter, "Blob").data, (Bytes{0x00, 0xFF}));
    EXPECT_EQ(Value(adapter, "Raw").type, platform::kRegSz);
    EXPECT_EQ(Value(adapter, "Raw").data, Data("AB"));  // no NUL

    platform::RegistryKey choices(registry_, adapter + "\\Ndi\\Params\\SpeedDuplex\\enum", platform::kKeyQueryValue);
    const auto first = registry_.EnumValue(choices.Handle(), 0, 16383, 8192);
    EXPECT_EQ(first.name, "0");
    EXPECT_EQ(first.value.data, Data(std::string("Auto Negotiation") + '\0'));
    EXPECT_EQ(registry_.EnumValue(choices.Handle(), 1, 16383, 8192).name, "4");
    EXPECT_EQ(registry_.EnumValue(choices.Handle(), 2, 16383, 8192).result, kNoMoreItems);

    const std::string disabled = kNetClasses + "\\0001";
    EXPECT_EQ(ValueNames(disabled), (std::vector<std::string>{"NetCfgInstanceId", "DriverDesc", "RequestedMediaType"}));
    platform::RegistryKey noChoices(registry_, disabled + "\\Ndi\\Params\\RequestedMediaType\\enum", 1);
    EXPECT_EQ(noChoices.OpenResult(), kFileNotFound);
}

TEST_F(SimRegistryTest, ReadsThatDoNotFitReportMoreData) {
    const std::string adapter = kNetClasses + "\\0000";
    EXPECT_EQ(Value(adapter, "DriverDesc", 8).result, kSuccess);  // "Renamed" and its NUL
    const auto tooSmall = Value(adapter, "DriverDesc", 7);
    EXPECT_EQ(tooSmall.result, kMoreData);
    EXPECT_EQ(tooSmall.needed, 8u);
    EXPECT_TRUE(tooSmall.data.empty());

    platform::RegistryKey choices(registry_, adapter + "\\Ndi\\Params\\SpeedDuplex\\enum", 1);
    const auto shortData = registry_.EnumValue(choices.Handle(), 0, 16383, 16);
    EXPECT_EQ(shortData.result, kMoreData);
    EXPECT_EQ(shortData.value.needed, 17u);
    EXPECT_EQ(registry_.EnumValue(choices.Handle(), 0, 0, 8192).result, kMoreData);  // name "0" too long

    platform::RegistryKey classes(registry_, kDeviceClasses, platform::kKeyAllAccess);
    std::string name;
    EXPECT_EQ(registry_.EnumKey(classes.Handle(), 0, 37, &name), kMoreData);
    EXPECT_EQ(registry_.EnumKey(classes.Handle(), 0, 38, &name), kSuccess);
    EXPECT_EQ(registry_.EnumKey(classes.Handle(), 3, 255, &name), kNoMoreItems);
}

TEST_F(SimRegistryTest, OpenFindsKeysInAnyCaseAndReportsFaults) {
    struct Case {
        std::string path;
        platform::ResultCode result;
    };
    const Case cases[] = {
        {"system\\CURRENTCONTROLSET\\control\\class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0000", kSuccess},
        {"", kSuccess},
        {"SYSTEM\\Missing", kFileNotFound},
        {"SYSTEM\\", kFileNotFound},
        {"SOFTWARE\\Locked", 5},
        {"SOFTWARE\\Unqueryable", kSuccess},
    };
    for (const Case& c : cases) {
        platform::RegistryKey key(registry_, c.path, platform::kKeyRead);
        EXPECT_EQ(key.OpenResult(), c.result) << c.path;
    }
    platform::RegistryKey unqueryable(registry_, "SOFTWARE\\Unqueryable", platform::kKeyRead);
    EXPECT_EQ(registry_.QueryInfoKey(unqueryable.Handle(), nullptr, nullptr), 1u);

    EXPECT_EQ(Value(kNetClasses + "\\0000", "netcfginstanceid").result, kSuccess);
    EXPECT_EQ(Value(kNetClasses + "\\0000", "Missing").result, kFileNotFound);
}

TEST_F(SimRegistryTest, ClosedAndUnknownHandlesAreHarmless) {
    platform::RegKey handle = 0;
    ASSERT_EQ(registry_.OpenKey(kDeviceClasses, platform::kKeyRead, &handle), kSuccess);
    registry_.CloseKey(handle);
    registry_.CloseKey(handle);
    registry_.CloseKey(12345);
    std::uint32_t count = 0;
    EXPECT_EQ(registry_.QueryInfoKey(handle, &count, nullptr), platform::kInvalidHandle);
    EXPECT_EQ(registry_.QueryValue(handle, "x", 10).result, platform::kInvalidHandle);
    EXPECT_EQ(registry_.EnumValue(handle, 0, 10, 10).result, platform::kInvalidHandle);
}

}  // namespace
}  // namespace linkscope::sim
