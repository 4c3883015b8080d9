// A read-only tree of registry keys below HKEY_LOCAL_MACHINE, as the
// registry calls read it: keys found by their whole path, their subkeys and
// values in order, and faults a key may be given. A tree may keep its keys
// (RegistryStore) or work them out from something else when asked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/device_registry.h"
#include "platform/result_codes.h"

namespace linkscope::platform {

class RegistryTree {
public:
    using KeyId = std::size_t;  // meaningful only to the tree that gave it

    struct Value {
        std::string name;
        std::uint32_t type = kRegNone;
        std::vector<std::uint8_t> data;
    };

    virtual ~RegistryTree() = default;

    // The key whose whole path below the root is `path`, parts joined by
    // "\" ("" is the root itself).
    virtual std::optional<KeyId> Find(std::string_view path) const = 0;
    // Opening the key, or asking for its counts, fails with these codes
    // when they are not kSuccess.
    virtual ResultCode OpenResult(KeyId) const { return kSuccess; }
    virtual ResultCode QueryInfoResult(KeyId) const { return kSuccess; }
    virtual std::size_t SubkeyCount(KeyId key) const = 0;
    virtual std::size_t ValueCount(KeyId key) const = 0;
    // The name of the subkey at `index`, which is below SubkeyCount.
    virtual std::string SubkeyName(KeyId key, std::size_t index) const = 0;
    // The value at `index`, which is below ValueCount.
    virtual Value ValueAt(KeyId key, std::size_t index) const = 0;
    // The value named `name`, without its name.
    virtual std::optional<Value> FindValue(KeyId key, std::string_view name) const = 0;
};

// REG_SZ data: the text and its terminating NUL, as the system stores it.
std::vector<std::uint8_t> RegistryTextData(std::string_view text);
// REG_DWORD data: four little-endian bytes.
std::vector<std::uint8_t> RegistryDwordData(std::uint32_t number);

}  // namespace linkscope::platform
