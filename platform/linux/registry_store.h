// An in-memory registry below HKEY_LOCAL_MACHINE, built once and then only
// read, and the registry calls answered from it.
//
// Keys are found by their whole path in one hash lookup, so a key name may
// hold any character, a backslash included (Linux interface names may).
// Names compare exactly: every path the collectors open is made of names
// this store handed out or of fixed texts that match it letter for letter.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
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
        std::string path;
        std::vector<KeyId> subkeys;  // in the order they were added
        std::vector<std::string> subkeyNames;
        std::vector<Value> values;  // in the order they were added
    };

    RegistryStore();

    // The subkey `name` of `parent`, added when it is not there yet.
    KeyId AddKey(KeyId parent, const std::string& name);
    // The key at `path` with every missing key on the way, parts split at "\".
    KeyId AddPath(const std::string& path);
    // A text value, stored with its terminating NUL.
    void SetText(KeyId key, const std::string& name, const std::string& text);
    // A 32-bit little-endian number.
    void SetDword(KeyId key, const std::string& name, std::uint32_t number);

    const Key* Find(const std::string& path) const;
    const Key& At(KeyId key) const { return keys_[key]; }

private:
    std::vector<Key> keys_;
    std::unordered_map<std::string, KeyId> byPath_;
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

private:
    struct OpenKeyState {
        std::shared_ptr<const RegistryStore> store;
        const RegistryStore::Key* key;
    };
    const RegistryStore::Key* Find(platform::RegKey key) const;

    StoreSource current_;
    std::unordered_map<platform::RegKey, OpenKeyState> open_;
    platform::RegKey nextHandle_ = 0x100;
};

}  // namespace linkscope::live
