// The registry calls answered from a RegistryTree, with the system's result
// codes: a missing key or value is "file not found", an index past the end
// "no more items", a name or data that does not fit "more data". Access
// masks are not checked. Not thread-safe, like the collectors that use it.
#pragma once

#include <optional>
#include <unordered_map>
#include <utility>

#include "platform/device_registry.h"
#include "platform/sim/registry_tree.h"

namespace linkscope::sim {

class SimRegistry final : public platform::RegistryApi {
public:
    explicit SimRegistry(RegistryTree tree) : tree_(std::move(tree)) {}

    platform::ResultCode OpenKey(const std::string& path, std::uint32_t access, platform::RegKey* key) override;
    void CloseKey(platform::RegKey key) override;
    platform::ResultCode QueryInfoKey(platform::RegKey key, std::uint32_t* subkeys,
                                      std::uint32_t* values) override;
    platform::ResultCode EnumKey(platform::RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                 std::string* name) override;
    platform::RegValue QueryValue(platform::RegKey key, const std::string& name,
                                  std::uint32_t bufferSize) override;
    platform::RegEnumValue EnumValue(platform::RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                     std::uint32_t bufferSize) override;
    // Creates the key with any missing parent; a key whose opening fails
    // fails creation the same way.
    platform::ResultCode CreateKey(const std::string& path, std::uint32_t access, platform::RegKey* key) override;
    platform::ResultCode SetValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                                  const std::vector<std::uint8_t>& data) override;

private:
    std::optional<RegistryTree::KeyId> Find(platform::RegKey key) const;

    RegistryTree tree_;
    std::unordered_map<platform::RegKey, RegistryTree::KeyId> open_;
    platform::RegKey nextHandle_ = 0x1000;
};

}  // namespace linkscope::sim
