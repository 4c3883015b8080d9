#include "platform/sim/sim_registry.h"

namespace linkscope::sim {
namespace {

using platform::ResultCode;

// A value read into a buffer of `bufferSize` bytes: its data when it fits,
// otherwise "more data" with the size it needs.
platform::RegValue Read(const RawValue& stored, std::uint32_t bufferSize) {
    platform::RegValue value;
    value.type = stored.type;
    value.needed = static_cast<std::uint32_t>(stored.data.size());
    if (stored.data.size() > bufferSize) {
        value.result = platform::kMoreData;
    } else {
        value.data = stored.data;
    }
    return value;
}

}  // namespace

ResultCode SimRegistry::OpenKey(const std::string& path, std::uint32_t /*access*/, platform::RegKey* key) {
    const auto found = tree_.FindKey(path);
    if (!found) return platform::kFileNotFound;
    if (const ResultCode fault = tree_.At(*found).openResult; fault != platform::kSuccess) return fault;
    *key = nextHandle_++;
    open_.emplace(*key, *found);
    return platform::kSuccess;
}

ResultCode SimRegistry::CreateKey(const std::string& path, std::uint32_t access, platform::RegKey* key) {
    if (!tree_.FindKey(path)) {
        if (path.empty() || path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string::npos) {
            return platform::kInvalidParameter;
        }
        tree_.CreateKey(path);
    }
    return OpenKey(path, access, key);
}

ResultCode SimRegistry::SetValue(platform::RegKey key, const std::string& name, std::uint32_t type,
                                 const std::vector<std::uint8_t>& data) {
    const auto open = Find(key);
    if (!open) return platform::kInvalidHandle;
    tree_.SetValue(*open, RawValue{name, type, data});
    return platform::kSuccess;
}

void SimRegistry::CloseKey(platform::RegKey key) { open_.erase(key); }

std::optional<RegistryTree::KeyId> SimRegistry::Find(platform::RegKey key) const {
    const auto it = open_.find(key);
    if (it == open_.end()) return std::nullopt;
    return it->second;
}

ResultCode SimRegistry::QueryInfoKey(platform::RegKey key, std::uint32_t* subkeys, std::uint32_t* values) {
    const auto open = Find(key);
    if (!open) return platform::kInvalidHandle;
    const RegistryTree::Key& info = tree_.At(*open);
    if (info.queryInfoResult != platform::kSuccess) return info.queryInfoResult;
    if (subkeys != nullptr) *subkeys = static_cast<std::uint32_t>(info.subkeys.size());
    if (values != nullptr) *values = static_cast<std::uint32_t>(info.values.size());
    return platform::kSuccess;
}

ResultCode SimRegistry::EnumKey(platform::RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                std::string* name) {
    const auto open = Find(key);
    if (!open) return platform::kInvalidHandle;
    const auto& subkeys = tree_.At(*open).subkeys;
    if (index >= subkeys.size()) return platform::kNoMoreItems;
    const std::string& subkey = tree_.At(subkeys[index]).name;
    if (subkey.size() > maxNameChars) return platform::kMoreData;
    *name = subkey;
    return platform::kSuccess;
}

platform::RegValue SimRegistry::QueryValue(platform::RegKey key, const std::string& name,
                                           std::uint32_t bufferSize) {
    platform::RegValue value;
    const auto open = Find(key);
    const RawValue* stored = open ? tree_.FindValue(*open, name) : nullptr;
    if (stored != nullptr) return Read(*stored, bufferSize);
    value.result = open ? platform::kFileNotFound : platform::kInvalidHandle;
    return value;
}

platform::RegEnumValue SimRegistry::EnumValue(platform::RegKey key, std::uint32_t index,
                                              std::uint32_t maxNameChars, std::uint32_t bufferSize) {
    platform::RegEnumValue entry;
    const auto open = Find(key);
    if (!open || index >= tree_.At(*open).values.size()) {
        entry.result = open ? platform::kNoMoreItems : platform::kInvalidHandle;
        entry.value.result = entry.result;
        return entry;
    }
    const RawValue& stored = tree_.At(*open).values[index];
    entry.value = Read(stored, bufferSize);
    if (stored.name.size() > maxNameChars) {
        entry.value.result = platform::kMoreData;
        entry.value.data.clear();
    }
    entry.result = entry.value.result;
    if (entry.result == platform::kSuccess) entry.name = stored.name;
    return entry;
}

}  // namespace linkscope::sim
