#include "platform/linux/registry_store.h"

#include <algorithm>

namespace linkscope::live {
namespace {

using platform::ResultCode;

// What a caller's buffer of `bufferSize` bytes receives of `stored`: all
// of it, or nothing but the size it would need.
platform::RegValue Answer(const RegistryStore::Value& stored, std::uint32_t bufferSize) {
    const auto size = static_cast<std::uint32_t>(stored.data.size());
    if (size > bufferSize) return {platform::kMoreData, stored.type, {}, size};
    return {platform::kSuccess, stored.type, stored.data, size};
}

}  // namespace

RegistryStore::RegistryStore() {
    keys_.emplace_back();
    byPath_.emplace("", kRoot);
}

RegistryStore::KeyId RegistryStore::AddKey(KeyId parent, const std::string& name) {
    std::string path = keys_[parent].path.empty() ? name : keys_[parent].path + "\\" + name;
    const auto [it, added] = byPath_.emplace(path, keys_.size());
    if (!added) return it->second;
    keys_[parent].subkeys.push_back(it->second);
    keys_[parent].subkeyNames.push_back(name);
    keys_.push_back(Key{std::move(path), {}, {}, {}});
    return it->second;
}

RegistryStore::KeyId RegistryStore::AddPath(const std::string& path) {
    KeyId key = kRoot;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end > start) key = AddKey(key, path.substr(start, end - start));
        start = end + 1;
    }
    return key;
}

void RegistryStore::SetText(KeyId key, const std::string& name, const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    keys_[key].values.push_back({name, platform::kRegSz, std::move(data)});
}

void RegistryStore::SetDword(KeyId key, const std::string& name, std::uint32_t number) {
    std::vector<std::uint8_t> data(4);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(number >> (8 * i));
    keys_[key].values.push_back({name, platform::kRegDword, std::move(data)});
}

const RegistryStore::Key* RegistryStore::Find(const std::string& path) const {
    const auto it = byPath_.find(path);
    return it == byPath_.end() ? nullptr : &keys_[it->second];
}

ResultCode StoreRegistry::OpenKey(const std::string& path, std::uint32_t /*access*/, platform::RegKey* key) {
    std::shared_ptr<const RegistryStore> store = current_();
    const RegistryStore::Key* found = store ? store->Find(path) : nullptr;
    if (found == nullptr) return platform::kFileNotFound;
    *key = nextHandle_++;
    open_.emplace(*key, OpenKeyState{std::move(store), found});
    return platform::kSuccess;
}

void StoreRegistry::CloseKey(platform::RegKey key) { open_.erase(key); }

const RegistryStore::Key* StoreRegistry::Find(platform::RegKey key) const {
    const auto it = open_.find(key);
    return it == open_.end() ? nullptr : it->second.key;
}

ResultCode StoreRegistry::QueryInfoKey(platform::RegKey key, std::uint32_t* subkeys, std::uint32_t* values) {
    const RegistryStore::Key* open = Find(key);
    if (open == nullptr) return platform::kInvalidHandle;
    if (subkeys != nullptr) *subkeys = static_cast<std::uint32_t>(open->subkeys.size());
    if (values != nullptr) *values = static_cast<std::uint32_t>(open->values.size());
    return platform::kSuccess;
}

ResultCode StoreRegistry::EnumKey(platform::RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                  std::string* name) {
    const RegistryStore::Key* open = Find(key);
    if (open == nullptr) return platform::kInvalidHandle;
    if (index >= open->subkeyNames.size()) return platform::kNoMoreItems;
    const std::string& subkey = open->subkeyNames[index];
    if (subkey.size() > maxNameChars) return platform::kMoreData;
    *name = subkey;
    return platform::kSuccess;
}

platform::RegValue StoreRegistry::QueryValue(platform::RegKey key, const std::string& name,
                                             std::uint32_t bufferSize) {
    const RegistryStore::Key* open = Find(key);
    platform::RegValue missing;
    missing.result = open == nullptr ? platform::kInvalidHandle : platform::kFileNotFound;
    if (open == nullptr) return missing;
    const auto it = std::find_if(open->values.begin(), open->values.end(),
                                 [&](const RegistryStore::Value& value) { return value.name == name; });
    return it == open->values.end() ? missing : Answer(*it, bufferSize);
}

platform::RegEnumValue StoreRegistry::EnumValue(platform::RegKey key, std::uint32_t index,
                                                std::uint32_t maxNameChars, std::uint32_t bufferSize) {
    const RegistryStore::Key* open = Find(key);
    if (open == nullptr) return {platform::kInvalidHandle, {}, {platform::kInvalidHandle, platform::kRegNone, {}, 0}};
    if (index >= open->values.size()) {
        return {platform::kNoMoreItems, {}, {platform::kNoMoreItems, platform::kRegNone, {}, 0}};
    }
    const RegistryStore::Value& stored = open->values[index];
    // A name longer than the caller allows is "more data" too, whatever
    // the data's size.
    const bool nameFits = stored.name.size() <= maxNameChars;
    platform::RegValue value = Answer(stored, nameFits ? bufferSize : 0);
    if (!nameFits) value.result = platform::kMoreData;
    return {value.result, value.result == platform::kSuccess ? stored.name : std::string(), std::move(value)};
}

}  // namespace linkscope::live
