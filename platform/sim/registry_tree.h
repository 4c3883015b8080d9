// The simulated registry below HKEY_LOCAL_MACHINE: a tree of keys whose
// names compare case-insensitively, as the system's do. Subkeys and values
// keep the order in which they were added. Finding a key by its whole path
// costs one probe of a flat hash table, whatever the size of the tree, and
// allocates nothing.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/position_index.h"
#include "platform/result_codes.h"
#include "platform/sim/machine.h"

namespace linkscope::sim {

// A REG_SZ value, stored with its terminating NUL as the system stores it.
RawValue MakeTextValue(const std::string& name, const std::string& text);
// A REG_DWORD value: four little-endian bytes.
RawValue MakeDwordValue(const std::string& name, std::uint32_t number);

class RegistryTree {
public:
    using KeyId = std::size_t;
    static constexpr KeyId kRoot = 0;

    struct Key {
        std::string name;
        std::string foldedPath;  // the whole path in lower case
        std::vector<KeyId> subkeys;
        std::vector<RawValue> values;
        platform::ResultCode openResult = platform::kSuccess;
        platform::ResultCode queryInfoResult = platform::kSuccess;
    };

    RegistryTree();

    // The key at `path` ("A\B\C", "" for the root), created with any missing
    // parent. The path must not hold an empty part.
    KeyId CreateKey(const std::string& path);
    // nullopt when any part of the path is missing or empty.
    std::optional<KeyId> FindKey(const std::string& path) const;
    const Key& At(KeyId key) const { return keys_[key]; }
    Key& At(KeyId key) { return keys_[key]; }

    // Adds the value, or replaces the data and type of the one with the same
    // name in any letter case.
    void SetValue(KeyId key, RawValue value);
    const RawValue* FindValue(KeyId key, const std::string& name) const;

private:
    // A name below one key, in lower case.
    struct Slot {
        KeyId parent;
        std::string name;
        bool operator==(const Slot& other) const { return parent == other.parent && name == other.name; }
    };
    struct SlotHash {
        std::size_t operator()(const Slot& slot) const;
    };

    std::optional<KeyId> FindChild(KeyId parent, const std::string& name) const;
    std::string_view FoldedPathAt(KeyId key) const { return keys_[key].foldedPath; }

    std::vector<Key> keys_;
    std::unordered_map<Slot, KeyId, SlotHash> subkeyIndex_;
    std::unordered_map<Slot, std::size_t, SlotHash> valueIndex_;
    PositionIndex pathIndex_;  // every key by its whole folded path
};

}  // namespace linkscope::sim
