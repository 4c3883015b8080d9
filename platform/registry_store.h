// An in-memory registry below HKEY_LOCAL_MACHINE: a tree of keys whose
// subkeys and values keep the order in which they were added. The simulated
// machine keeps its registry here.
//
// Names compare exactly or, as the system's do, in any letter case. Every
// key is indexed by a hash of its whole path, so that finding one costs one
// probe of a flat table, whatever the size of the tree, and allocates
// nothing; paths are not stored but read back through the keys' parents,
// which keeps a large tree small. A key name may hold a backslash: its path
// is still the names joined by "\", and where two keys have the same path
// the first added is found. A value name is found by a scan while its key
// has few values and through an index once it has more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/position_index.h"
#include "platform/registry_tree.h"

namespace linkscope::platform {

enum class NameMatch { kExact, kAnyCase };

class RegistryStore final : public RegistryTree {
public:
    static constexpr KeyId kRoot = 0;

    struct Key {
        KeyId parent = kRoot;
        std::string name;
        std::vector<KeyId> subkeys;
        std::vector<Value> values;
        // Injected faults: opening the key, or asking for its counts, fails
        // with this code when it is not kSuccess.
        ResultCode openResult = kSuccess;
        ResultCode queryInfoResult = kSuccess;
    };

    explicit RegistryStore(NameMatch names = NameMatch::kExact);
    // Room for `keys` keys in all, so that building does not grow the index.
    void Reserve(std::size_t keys);
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

    std::optional<KeyId> Find(std::string_view path) const override;
    ResultCode OpenResult(KeyId key) const override { return keys_[key].openResult; }
    ResultCode QueryInfoResult(KeyId key) const override { return keys_[key].queryInfoResult; }
    std::size_t SubkeyCount(KeyId key) const override { return keys_[key].subkeys.size(); }
    std::size_t ValueCount(KeyId key) const override { return keys_[key].values.size(); }
    std::string SubkeyName(KeyId key, std::size_t index) const override {
        return keys_[keys_[key].subkeys[index]].name;
    }
    Value ValueAt(KeyId key, std::size_t index) const override { return keys_[key].values[index]; }
    std::optional<Value> FindValue(KeyId key, std::string_view name) const override;

private:
    struct NameHash {
        NameMatch match;
        std::size_t operator()(std::string_view name) const;
    };
    struct NameEqual {
        NameMatch match;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    // Value positions of one key by name; the names are copies, as values
    // move when their key's list grows.
    using ValueIndex = std::unordered_map<std::string, std::size_t, NameHash, NameEqual>;

    static constexpr std::uint64_t kEmptyPathHash = 14695981039346656037ull;  // FNV-1a's start
    // The hash of `text` continued from `hash`, letters folded when names
    // match in any case, so that a child's path hash follows from its
    // parent's.
    std::uint64_t ContinueHash(std::uint64_t hash, std::string_view text) const;
    // Whether `path` is the whole path of `key`.
    bool HasPath(KeyId key, std::string_view path) const;
    auto PathIs(std::string_view path) const {
        return [this, path](std::size_t key) { return HasPath(key, path); };
    }
    // Writes the whole path of `key`.
    void AppendPath(KeyId key, std::string& out) const;
    std::optional<std::size_t> PositionOf(KeyId key, std::string_view name) const;

    NameMatch match_;
    std::vector<Key> keys_;
    std::vector<std::uint64_t> pathHashes_;  // each key's, as ContinueHash gives it
    PositionIndex pathIndex_;
    std::unordered_map<KeyId, ValueIndex> valueIndexes_;  // only keys with many values
};

}  // namespace linkscope::platform
