// The registry and environment calls against the system itself (a
// throwaway Wine prefix): keys and variables the tests write first.
#include <gtest/gtest.h>

#include <string>

#include "platform/registry_text.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/windows_api.h"

namespace linkscope::win32 {
namespace {

constexpr char kTestKey[] = "SOFTWARE\\LinkScopeTests\\Registry";

class LiveRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKey);
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        const UniqueRegKey owned(key);
        for (const char* subkey : {"First", "Second"}) {
            HKEY child = nullptr;
            ASSERT_EQ(RegCreateKeyExA(key, subkey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
                      ERROR_SUCCESS);
            RegCloseKey(child);
        }
        Set(key, "DriverDesc", REG_SZ, "Fixture NIC", 12);
        Set(key, "Unterminated", REG_SZ, "abc", 3);  // stored without its NUL
    }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestKey); }

    static void Set(HKEY key, const char* name, DWORD type, const char* data, DWORD size) {
        ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }

    platform::RegKey Open() {
        platform::RegKey key = 0;
        EXPECT_EQ(registry.OpenKey(kTestKey, platform::kKeyRead, &key), platform::kSuccess);
        return key;
    }

    Win32Registry registry;
};

TEST_F(LiveRegistry, OpensBelowTheLocalMachineRootAndCountsSubkeysAndValues) {
    platform::RegKey missing = 0;
    EXPECT_EQ(registry.OpenKey("SOFTWARE\\LinkScopeTests\\Absent", platform::kKeyRead, &missing),
              platform::kFileNotFound);
    const platform::RegKey key = Open();
    std::uint32_t subkeys = 0;
    std::uint32_t values = 0;
    EXPECT_EQ(registry.QueryInfoKey(key, &subkeys, &values), platform::kSuccess);
    EXPECT_EQ(subkeys, 2u);
    EXPECT_EQ(values, 2u);
    std::string name;
    EXPECT_EQ(registry.EnumKey(key, 1, 255, &name), platform::kSuccess);
    EXPECT_EQ(name, "Second");
    EXPECT_EQ(registry.EnumKey(key, 2, 255, &name), platform::kNoMoreItems);
}

TEST_F(LiveRegistry, ATooSmallBufferReportsMoreDataAndTheSizeNeeded) {
    const platform::RegKey key = Open();
    const platform::RegValue small = registry.QueryValue(key, "DriverDesc", 4);
    EXPECT_EQ(small.result, platform::kMoreData);
    EXPECT_EQ(small.needed, 12u);
    EXPECT_TRUE(small.data.empty());
    const platform::RegValue fits = registry.QueryValue(key, "DriverDesc", 12);
    EXPECT_EQ(fits.result, platform::kSuccess);
    EXPECT_EQ(fits.type, platform::kRegSz);
    EXPECT_EQ(platform::RegistryText(fits.data), "Fixture NIC");
}

TEST_F(LiveRegistry, DataWithoutItsNulIsHandedOutOnlyAsFarAsItGoes) {
    const platform::RegKey key = Open();
    const platform::RegValue value = registry.QueryValue(key, "Unterminated", 8192);
    ASSERT_EQ(value.result, platform::kSuccess);
    EXPECT_LE(value.data.size(), 4u);
    EXPECT_EQ(platform::RegistryText(value.data), "abc");
}

TEST_F(LiveRegistry, EnumeratesValueNamesAndDataAndGrowsOnMoreData) {
    const platform::RegKey key = Open();
    const platform::RegEnumValue tight = registry.EnumValue(key, 0, 16383, 2);
    EXPECT_EQ(tight.result, platform::kMoreData);
    const platform::RegEnumValue entry = registry.EnumValue(key, 0, 16383, 8192);
    ASSERT_EQ(entry.result, platform::kSuccess);
    EXPECT_EQ(entry.name, "DriverDesc");
    EXPECT_EQ(platform::RegistryText(entry.value.data), "Fixture NIC");
    EXPECT_EQ(registry.EnumValue(key, 2, 16383, 8192).result, platform::kNoMoreItems);
}

TEST_F(LiveRegistry, AClosedOrUnknownHandleIsRefusedWithoutReachingTheSystem) {
    const platform::RegKey key = Open();
    registry.CloseKey(key);
    std::uint32_t subkeys = 0;
    EXPECT_EQ(registry.QueryInfoKey(key, &subkeys, nullptr), platform::kInvalidHandle);
    EXPECT_EQ(registry.QueryValue(0x1234, "DriverDesc", 64).result, platform::kInvalidHandle);
    EXPECT_EQ(registry.EnumValue(0x1234, 0, 16, 64).result, platform::kInvalidHandle);
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
