// An in-memory registry below HKEY_LOCAL_MACHINE, built once and then only
// read, and the registry calls answered from it.
//
// A key is found by its parent and its name, one hash lookup per part of
// a path, without copying the path. A key name may hold a backslash (Linux
// interface names may): where a part of a path names no key, the lookup
// takes the next part into the same name, so such a key is found as long
// as no sibling is named like its first part. Names compare exactly: every
// path the collectors open is made of names this store handed out or of
// fixed texts that match it letter for letter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/device_registry.h"

namespace linkscope::live {

class RegistryStore {
public:
    using KeyId = std::size_t;
    static constexpr KeyId kRoot = 0;

    struct Value {
        std::string name;
        std::uint32_t type = platform::kRegNone;
        std::vector<std::uint8_t> data;
    };
    struct Key {
        std::string name;
        std::vector<KeyId> subkeys;  // in the order they were added
        std::vector<Value> values;  // in the order they were added
    };

    RegistryStore();

    // Room for `keys` keys in all, so that building does not rehash.
    void Reserve(std::size_t keys) { children_.reserve(keys); }
    // The subkey `name` of `parent`, added when it is not there yet.
    KeyId AddKey(KeyId parent, const std::string& name);
    // The key at `path` below `from`, with every missing key on the way;
    // parts split at "\".
    KeyId AddPath(KeyId from, const std::string& path);
    // A text value, stored with its terminating NUL.
    void SetText(KeyId key, const std::string& name, const std::string& text);
    // A 32-bit little-endian number.
    void SetDword(KeyId key, const std::string& name, std::uint32_t number);

    // The key at `path` below the root ("" is the root itself).
    std::optional<KeyId> Find(std::string_view path) const;
    const Key& At(KeyId key) const { return keys_[key]; }

private:
    struct Slot {
        KeyId parent;
        std::string_view name;  // the child key's own name
        bool operator==(const Slot& other) const { return parent == other.parent && name == other.name; }
    };
    struct SlotHash {
        std::size_t operator()(const Slot& slot) const {
            return std::hash<std::string_view>()(slot.name) ^ (slot.parent * 0x9E3779B97F4A7C15ull);
        }
    };

    std::optional<KeyId> FindChild(KeyId parent, std::string_view name) const;

    std::deque<Key> keys_;  // a deque, so that the names the index views never move
    std::unordered_map<Slot, KeyId, SlotHash> children_;
};

// The registry calls with the system's result codes: a missing key or
// value is "file not found", an index past the end "no more items", a name
// or data larger than the caller's buffer "more data". Access masks are not
// checked: nothing here can be written. Not thread-safe.
class StoreRegistry final : public platform::RegistryApi {
public:
    using StoreSource = std::function<std::shared_ptr<const RegistryStore>()>;

    // Each OpenKey opens a key of the store `current` gives at that moment;
    // keys already open stay on the store they were opened in.
    explicit StoreRegistry(StoreSource current) : current_(std::move(current)) {}

    platform::ResultCode OpenKey(const std::string& path, std::uint32_t access, platform::RegKey* key) override;
    void CloseKey(platform::RegKey key) override;
    platform::ResultCode QueryInfoKey(platform::RegKey key, std::uint32_t* subkeys, std::uint32_t* values) override;
    platform::ResultCode EnumKey(platform::RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                 std::string* name) override;
    platform::RegValue QueryValue(platform::RegKey key, const std::string& name, std::uint32_t bufferSize) override;
    platform::RegEnumValue EnumValue(platform::RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                     std::uint32_t bufferSize) override;
    // The store is a view of the kernel's devices: nothing can be written.
    platform::ResultCode CreateKey(const std::string&, std::uint32_t, platform::RegKey*) override {
        return platform::kAccessDenied;
    }
    platform::ResultCode SetValue(platform::RegKey, const std::string&, std::uint32_t,
                                  const std::vector<std::uint8_t>&) override {
        return platform::kAccessDenied;
    }

private:
    struct OpenKeyState {
        std::shared_ptr<const RegistryStore> store;
        RegistryStore::KeyId key;
    };
    const RegistryStore::Key* Find(platform::RegKey key) const;

    StoreSource current_;
    std::unordered_map<platform::RegKey, OpenKeyState> open_;
    platform::RegKey nextHandle_ = 0x100;
};

}  // namespace linkscope::live
