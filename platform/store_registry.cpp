#include "platform/store_registry.h"

namespace linkscope::platform {
namespace {

// What a caller's buffer of `bufferSize` bytes receives of `stored`: all
// of it, or nothing but the size it would need.
RegValue Answer(const RegistryStore::Value& stored, std::uint32_t bufferSize) {
    const auto size = static_cast<std::uint32_t>(stored.data.size());
    if (size > bufferSize) return {kMoreData, stored.type, {}, size};
    return {kSuccess, stored.type, stored.data, size};
}

// The system refuses to create a key at a path with an empty part.
bool IsCreatablePath(const std::string& path) {
    return !path.empty() && path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == std::string::npos;
}

}  // namespace

ResultCode StoreRegistry::OpenKey(const std::string& path, std::uint32_t /*access*/, RegKey* key) {
    std::shared_ptr<const RegistryStore> store = current_();
    const auto found = store ? store->Find(path) : std::nullopt;
    if (!found) return kFileNotFound;
    if (const ResultCode fault = store->At(*found).openResult; fault != kSuccess) return fault;
    *key = nextHandle_++;
    open_.emplace(*key, OpenKeyState{std::move(store), *found});
    return kSuccess;
}

void StoreRegistry::CloseKey(RegKey key) { open_.erase(key); }

const StoreRegistry::OpenKeyState* StoreRegistry::Find(RegKey key) const {
    const auto it = open_.find(key);
    return it == open_.end() ? nullptr : &it->second;
}

ResultCode StoreRegistry::QueryInfoKey(RegKey key, std::uint32_t* subkeys, std::uint32_t* values) {
    const OpenKeyState* open = Find(key);
    if (open == nullptr) return kInvalidHandle;
    const RegistryStore::Key& info = open->store->At(open->key);
    if (info.queryInfoResult != kSuccess) return info.queryInfoResult;
    if (subkeys != nullptr) *subkeys = static_cast<std::uint32_t>(info.subkeys.size());
    if (values != nullptr) *values = static_cast<std::uint32_t>(info.values.size());
    return kSuccess;
}

ResultCode StoreRegistry::EnumKey(RegKey key, std::uint32_t index, std::uint32_t maxNameChars, std::string* name) {
    const OpenKeyState* open = Find(key);
    if (open == nullptr) return kInvalidHandle;
    const auto& subkeys = open->store->At(open->key).subkeys;
    if (index >= subkeys.size()) return kNoMoreItems;
    const std::string& subkey = open->store->At(subkeys[index]).name;
    if (subkey.size() > maxNameChars) return kMoreData;
    *name = subkey;
    return kSuccess;
}

RegValue StoreRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t bufferSize) {
    const OpenKeyState* open = Find(key);
    const RegistryStore::Value* stored = open ? open->store->FindValue(open->key, name) : nullptr;
    if (stored != nullptr) return Answer(*stored, bufferSize);
    RegValue missing;
    missing.result = open ? kFileNotFound : kInvalidHandle;
    return missing;
}

RegEnumValue StoreRegistry::EnumValue(RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                      std::uint32_t bufferSize) {
    const OpenKeyState* open = Find(key);
    const auto* values = open ? &open->store->At(open->key).values : nullptr;
    if (values == nullptr || index >= values->size()) {
        const ResultCode result = open ? kNoMoreItems : kInvalidHandle;
        return {result, {}, {result, kRegNone, {}, 0}};
    }
    const RegistryStore::Value& stored = (*values)[index];
    // A name longer than the caller allows is "more data" too, whatever
    // the data's size.
    const bool nameFits = stored.name.size() <= maxNameChars;
    RegValue value = Answer(stored, nameFits ? bufferSize : 0);
    if (!nameFits) value.result = kMoreData;
    return {value.result, value.result == kSuccess ? stored.name : std::string(), std::move(value)};
}

ResultCode StoreRegistry::CreateKey(const std::string& path, std::uint32_t access, RegKey* key) {
    if (!writable_) return kAccessDenied;
    if (!writable_->Find(path)) {
        if (!IsCreatablePath(path)) return kInvalidParameter;
        writable_->AddPath(RegistryStore::kRoot, path);
    }
    return OpenKey(path, access, key);
}

ResultCode StoreRegistry::SetValue(RegKey key, const std::string& name, std::uint32_t type,
                                   const std::vector<std::uint8_t>& data) {
    if (!writable_) return kAccessDenied;
    const OpenKeyState* open = Find(key);
    if (open == nullptr) return kInvalidHandle;
    writable_->SetValue(open->key, name, type, data);
    return kSuccess;
}

}  // namespace linkscope::platform
