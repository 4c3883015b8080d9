// The registry and environment calls against the system itself (a
// throwaway Wine prefix): keys and variables the tests write first.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/windows_api.h"
#include "support/registry_text.h"

namespace linkscope::win32 {
namespace {

using testing::Shown;
using Texts = std::vector<std::string>;

constexpr char kTestKey[] = "SOFTWARE\\LinkScopeTests\\Registry";

// A test key with subkeys "First" and "Second", a value "DriverDesc" and a
// text value stored without its NUL.
class LiveRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKey);
        const UniqueRegKey key(Create(HKEY_LOCAL_MACHINE, kTestKey));
        RegCloseKey(Create(key.get(), "First"));
        RegCloseKey(Create(key.get(), "Second"));
        ASSERT_EQ(RegSetValueExA(key.get(), "DriverDesc", 0, REG_SZ, reinterpret_cast<const BYTE*>("Fixture NIC"), 12),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key.get(), "Unterminated", 0, REG_SZ, reinterpret_cast<const BYTE*>("abc"), 3),
                  ERROR_SUCCESS);
        ASSERT_EQ(registry.OpenKey(kTestKey, platform::kKeyRead, &key_), platform::kSuccess);
    }
    void TearDown() override {
        registry.CloseKey(key_);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKey);
    }

    static HKEY Create(HKEY parent, const char* path) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
        return key;
    }

    Win32Registry registry;
    platform::RegKey key_ = 0;
};

TEST_F(LiveRegistry, OpensBelowTheLocalMachineRootAndCountsAndNamesSubkeys) {
    platform::RegKey missing = 0;
    EXPECT_EQ(registry.OpenKey("SOFTWARE\\LinkScopeTests\\Absent", platform::kKeyRead, &missing),
              platform::kFileNotFound);
    std::uint32_t subkeys = 0;
    std::uint32_t values = 0;
    EXPECT_EQ(registry.QueryInfoKey(key_, &subkeys, &values), platform::kSuccess);
    EXPECT_EQ(subkeys, 2u);
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(testing::Subkeys(registry, kTestKey), (Texts{"First", "Second"}));
    std::string name;
    EXPECT_EQ(registry.EnumKey(key_, 2, 255, &name), platform::kNoMoreItems);
}

TEST_F(LiveRegistry, ValuesReportMoreDataAndTheSizeNeededAndStopWhereTheirDataEnds) {
    const platform::RegValue small = registry.QueryValue(key_, "DriverDesc", 4);
    EXPECT_EQ(small.result, platform::kMoreData);
    EXPECT_EQ(small.needed, 12u);
    EXPECT_TRUE(small.data.empty());
    EXPECT_EQ(Shown(registry.QueryValue(key_, "DriverDesc", 12)), "1 Fixture NIC<00>");
    EXPECT_EQ(Shown(registry.QueryValue(key_, "Unterminated", 8192)), "1 abc<00>");
}

TEST_F(LiveRegistry, EnumeratesValueNamesAndDataAndGrowsOnMoreData) {
    EXPECT_EQ(registry.EnumValue(key_, 0, 16383, 2).result, platform::kMoreData);
    EXPECT_EQ(testing::Values(registry, kTestKey), (Texts{"DriverDesc 1 Fixture NIC<00>", "Unterminated 1 abc<00>"}));
    EXPECT_EQ(registry.EnumValue(key_, 2, 16383, 8192).result, platform::kNoMoreItems);
}

TEST_F(LiveRegistry, AClosedOrUnknownHandleIsRefusedWithoutReachingTheSystem) {
    registry.CloseKey(key_);
    std::uint32_t subkeys = 0;
    EXPECT_EQ(registry.QueryInfoKey(key_, &subkeys, nullptr), platform::kInvalidHandle);
    EXPECT_EQ(registry.QueryValue(0x1234, "DriverDesc", 64).result, platform::kInvalidHandle);
    EXPECT_EQ(registry.EnumValue(0x1234, 0, 16, 64).result, platform::kInvalidHandle);
    key_ = 0;
}

TEST(LiveEnvironment, CountsTheTextOrTheSizeNeededAndZeroWhenAbsentOrEmpty) {
    Win32Environment environment;
    ASSERT_TRUE(SetEnvironmentVariableA("LINKSCOPE_TEST_VALUE", "10.0.0.1"));
    EXPECT_EQ(environment.GetVariable("LINKSCOPE_TEST_VALUE", 32767), 8u);
    EXPECT_EQ(environment.GetVariable("LINKSCOPE_TEST_VALUE", 4), 9u);  // with its NUL
    ASSERT_TRUE(SetEnvironmentVariableA("LINKSCOPE_TEST_VALUE", ""));
    EXPECT_EQ(environment.GetVariable("LINKSCOPE_TEST_VALUE", 32767), 0u);
    ASSERT_TRUE(SetEnvironmentVariableA("LINKSCOPE_TEST_VALUE", nullptr));
    EXPECT_EQ(environment.GetVariable("LINKSCOPE_TEST_VALUE", 32767), 0u);
}

}  // namespace
}  // namespace linkscope::win32
