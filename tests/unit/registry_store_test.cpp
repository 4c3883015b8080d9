// The in-memory registry and its calls: the system's result codes in both
// name comparisons, injected faults, writes that replace values in place,
// and views whose store is replaced under open keys.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/registry_key.h"
#include "platform/registry_text.h"
#include "platform/store_registry.h"
#include "support/registry_text.h"

namespace linkscope::platform {
namespace {

using linkscope::testing::Shown;
using linkscope::testing::Subkeys;
using linkscope::testing::Values;
using Texts = std::vector<std::string>;

std::shared_ptr<RegistryStore> SmallStore(NameMatch names) {
    auto store = std::make_shared<RegistryStore>(names);
    const auto key = store->AddPath(RegistryStore::kRoot, "A\\B");
    store->SetText(key, "Name", "twelve chars");  // 13 bytes with the NUL
    store->SetDword(key, "LongerName", 7);
    store->AddKey(key, "Sub");
    store->SetFaults(store->AddPath(RegistryStore::kRoot, "Locked"), kAccessDenied, kSuccess);
    store->SetFaults(store->AddPath(RegistryStore::kRoot, "Uncounted"), kSuccess, 1);
    return store;
}

TEST(StoreRegistry, AnswersWithTheSystemsResultCodesInBothNameComparisons) {
    for (const NameMatch names : {NameMatch::kExact, NameMatch::kAnyCase}) {
        const bool anyCase = names == NameMatch::kAnyCase;
        StoreRegistry registry(SmallStore(names));
        SCOPED_TRACE(anyCase ? "any case" : "exact");

        RegKey key = 0;
        const std::pair<const char*, ResultCode> opens[] = {
            {"", kSuccess},           {"A\\B", kSuccess},       {"a\\b", anyCase ? kSuccess : kFileNotFound},
            {"A\\C", kFileNotFound},  {"A\\", kFileNotFound},   {"\\A", kFileNotFound},
            {"Locked", kAccessDenied}, {"Uncounted", kSuccess},
        };
        for (const auto& [path, result] : opens) {
            EXPECT_EQ(RegistryKey(registry, path, kKeyRead).OpenResult(), result) << path;
        }
        RegistryKey uncounted(registry, "Uncounted", kKeyRead);
        EXPECT_EQ(registry.QueryInfoKey(uncounted.Handle(), nullptr, nullptr), 1u);

        ASSERT_EQ(registry.OpenKey("A\\B", kKeyRead, &key), kSuccess);
        std::uint32_t subkeys = 0;
        std::uint32_t values = 0;
        EXPECT_EQ(registry.QueryInfoKey(key, &subkeys, &values), kSuccess);
        EXPECT_EQ(subkeys * 10 + values, 12u);
        const RegValue small = registry.QueryValue(key, "Name", 12);
        EXPECT_EQ(small.result, kMoreData);
        EXPECT_EQ(small.needed, 13u);
        EXPECT_TRUE(small.data.empty());
        EXPECT_EQ(RegistryText(registry.QueryValue(key, "name", 13).data), anyCase ? "twelve chars" : "");
        const RegEnumValue dword = registry.EnumValue(key, 1, 16383, 4);
        EXPECT_EQ(dword.name + " " + Shown(dword.value), "LongerName 4 <07><00><00><00>");
        EXPECT_EQ(registry.EnumValue(key, 1, 9, 4).result, kMoreData) << "name longer than allowed";
        EXPECT_EQ(registry.EnumValue(key, 2, 16383, 4).result, kNoMoreItems);
        std::string name;
        EXPECT_EQ(registry.EnumKey(key, 0, 2, &name), kMoreData);
        EXPECT_EQ(registry.EnumKey(key, 1, 255, &name), kNoMoreItems);

        registry.CloseKey(key);
        registry.CloseKey(key);
        EXPECT_EQ(registry.QueryInfoKey(key, &subkeys, nullptr), kInvalidHandle);
        EXPECT_EQ(registry.QueryValue(key, "Name", 13).result, kInvalidHandle);
        EXPECT_EQ(registry.EnumValue(key, 0, 10, 10).result, kInvalidHandle);
        EXPECT_EQ(registry.EnumKey(key, 0, 10, &name), kInvalidHandle);
    }
}

TEST(StoreRegistry, WritesCreateKeysAndReplaceValuesInPlace) {
    auto store = std::make_shared<RegistryStore>(NameMatch::kAnyCase);
    StoreRegistry registry(store);
    RegKey key = 0;
    EXPECT_EQ(registry.CreateKey("A\\\\B", kKeyAllAccess, &key), kInvalidParameter);
    EXPECT_EQ(registry.CreateKey("A\\", kKeyAllAccess, &key), kInvalidParameter);
    ASSERT_EQ(registry.CreateKey("Soft\\Many", kKeyAllAccess, &key), kSuccess);
    // Enough values that a key's names are found through its index.
    for (int i = 0; i < 40; ++i) registry.SetValue(key, "V" + std::to_string(i), kRegDword, {1});
    registry.SetValue(key, "v30", kRegBinary, {2, 3});
    registry.SetValue(key, "V2", kRegBinary, {4});
    registry.CloseKey(key);

    const Texts values = Values(registry, "SOFT\\MANY");
    ASSERT_EQ(values.size(), 40u);
    EXPECT_EQ(values[2], "V2 3 <04>");
    EXPECT_EQ(values[30], "V30 3 <02><03>");
    EXPECT_EQ(Shown(registry, "soft\\many", "v39"), "4 <01>");
    EXPECT_EQ(Subkeys(registry, "soft"), Texts{"Many"});

    store->SetFaults(*store->Find("Soft\\Many"), kAccessDenied, kSuccess);
    EXPECT_EQ(registry.CreateKey("Soft\\Many", kKeyAllAccess, &key), kAccessDenied);
}

TEST(StoreRegistry, AViewIsReadOnlyAndOpenKeysOutliveAStoreThatWasReplaced) {
    auto first = std::make_shared<RegistryStore>();
    first->SetText(first->AddPath(RegistryStore::kRoot, "K"), "V", "old");
    std::shared_ptr<const RegistryStore> current = first;
    StoreRegistry registry([&current] { return current; });

    RegKey key = 0;
    ASSERT_EQ(registry.OpenKey("K", kKeyRead, &key), kSuccess);
    EXPECT_EQ(registry.SetValue(key, "V", kRegSz, {0}), kAccessDenied);
    EXPECT_EQ(registry.CreateKey("K\\L", kKeyAllAccess, &key), kAccessDenied);
    current = std::make_shared<RegistryStore>();
    first.reset();

    EXPECT_EQ(RegistryText(registry.QueryValue(key, "V", 16).data), "old");
    EXPECT_EQ(Shown(registry, "K", "V"), "-") << "new opens see the new store";
    registry.CloseKey(key);
}

}  // namespace
}  // namespace linkscope::platform
