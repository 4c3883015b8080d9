// An in-memory registry below HKEY_LOCAL_MACHINE: a tree of keys whose
// subkeys and values keep the order in which they were added. The simulated
// machine and the Linux backend's view of its devices both keep theirs here.
//
// Names compare exactly or, as the system's do, in any letter case. A key
// is found by its parent and its name, one hash lookup per part of a path
// and without copying it. A key name may hold a backslash (a Linux interface
// name may): where a part of a path names no key, the lookup takes the next
// part into the same name, so such a key is found as long as no sibling is
// named like its first part. A value name is found by a scan while its key
// has few values and through an index once it has more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/device_registry.h"
#include "platform/result_codes.h"

namespace linkscope::platform {

enum class NameMatch { kExact, kAnyCase };

// REG_SZ data: the text and its terminating NUL, as the system stores it.
std::vector<std::uint8_t> RegistryTextData(const std::string& text);
// REG_DWORD data: four little-endian bytes.
std::vector<std::uint8_t> RegistryDwordData(std::uint32_t number);

class RegistryStore {
public:
    using KeyId = std::size_t;
    static constexpr KeyId kRoot = 0;

    struct Value {
        std::string name;
        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> data;
    };
    struct Key {
        std::string name;
        std::vector<KeyId> subkeys;
        std::vector<Value> values;
        // Injected faults: opening the key, or asking for its counts, fails
        // with this code when it is not kSuccess.
        ResultCode openResult = kSuccess;
        ResultCode queryInfoResult = kSuccess;
    };

    explicit RegistryStore(NameMatch names = NameMatch::kExact);
    // Index views point into the keys, so a store is moved, never copied.
    RegistryStore(const RegistryStore&) = delete;
    RegistryStore& operator=(const RegistryStore&) = delete;
    RegistryStore(RegistryStore&&) = default;
    RegistryStore& operator=(RegistryStore&&) = default;

    // Room for `keys` keys in all, so that building does not rehash.
    void Reserve(std::size_t keys) { children_.reserve(keys); }
    // The subkey `name` of `parent`, added when it is not there yet.
    KeyId AddKey(KeyId parent, const std::string& name);
    // The key at `path` below `from`, with every missing key on the way;
    // parts split at "\", empty parts skipped.
    KeyId AddPath(KeyId from, const std::string& path);
    // Adds the value, or replaces the type and data of the one that has the
    // same name; a replaced value keeps its place.
    void SetValue(KeyId key, const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data);
    void SetText(KeyId key, const std::string& name, const std::string& text);
    void SetDword(KeyId key, const std::string& name, std::uint32_t number);
    void SetFaults(KeyId key, ResultCode openResult, ResultCode queryInfoResult);

    // The key at `path` below the root ("" is the root itself); a path with
    // an empty part names no key.
    std::optional<KeyId> Find(std::string_view path) const;
    const Value* FindValue(KeyId key, std::string_view name) const;
    const Key& At(KeyId key) const { return keys_[key]; }

private:
    struct NameHash {
        NameMatch match;
        std::size_t operator()(std::string_view name) const;
    };
    struct NameEqual {
        NameMatch match;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    struct Slot {
        KeyId parent;
        std::string_view name;  // the child key's own name
    };
    struct SlotHash {
        NameHash names;
        std::size_t operator()(const Slot& slot) const;
    };
    struct SlotEqual {
        NameEqual names;
        bool operator()(const Slot& a, const Slot& b) const { return a.parent == b.parent && names(a.name, b.name); }
    };
    // Value positions of one key by name; the names are copies, as values
    // move when their key's list grows.
    using ValueIndex = std::unordered_map<std::string, std::size_t, NameHash, NameEqual>;

    std::optional<KeyId> FindChild(KeyId parent, std::string_view name) const;
    std::optional<std::size_t> PositionOf(KeyId key, std::string_view name) const;

    NameMatch match_;
    std::deque<Key> keys_;  // a deque, so that the names the index views never move
    std::unordered_map<Slot, KeyId, SlotHash, SlotEqual> children_;
    std::unordered_map<KeyId, ValueIndex> valueIndexes_;  // only keys with many values
    std::size_t longestSplitName_ = 0;  // the longest key name that holds a backslash
};

}  // namespace linkscope::platform
