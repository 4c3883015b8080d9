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

RegistryStore::RegistryStore() { keys_.emplace_back(); }

RegistryStore::KeyId RegistryStore::AddKey(KeyId parent, const std::string& name) {
    if (const auto existing = FindChild(parent, name)) return *existing;
    const KeyId key = keys_.size();
    keys_.push_back(Key{name, {}, {}});
    keys_[parent].subkeys.push_back(key);
    children_.emplace(Slot{parent, keys_[key].name}, key);
    return key;
}

RegistryStore::KeyId RegistryStore::AddPath(KeyId from, const std::string& path) {
    KeyId key = from;
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

std::optional<RegistryStore::KeyId> RegistryStore::FindChild(KeyId parent, std::string_view name) const {
    const auto it = children_.find(Slot{parent, name});
    if (it == children_.end()) return std::nullopt;
    return it->second;
}

std::optional<RegistryStore::KeyId> RegistryStore::Find(std::string_view path) const {
    KeyId key = kRoot;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = std::min(path.find('\\', start), path.size());
        std::optional<KeyId> child;
        while (!(child = FindChild(key, path.substr(start, end - start)))) {
            if (end == path.size()) return std::nullopt;
            end = std::min(path.find('\\', end + 1), path.size());  // a name with a backslash
        }
        key = *child;
        start = end + 1;
    }
    return key;
}

ResultCode StoreRegistry::OpenKey(const std::string& path, std::uint32_t /*access*/, platform::RegKey* key) {
    std::shared_ptr<const RegistryStore> store = current_();
    const auto found = store ? store->Find(path) : std::nullopt;
    if (!found) return platform::kFileNotFound;
    *key = nextHandle_++;
    open_.emplace(*key, OpenKeyState{std::move(store), *found});
    return platform::kSuccess;
}

void StoreRegistry::CloseKey(platform::RegKey key) { open_.erase(key); }

const RegistryStore::Key* StoreRegistry::Find(platform::RegKey key) const {
    const auto it = open_.find(key);
    return it == open_.end() ? nullptr : &it->second.store->At(it->second.key);
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
    const auto it = open_.find(key);
    if (it == open_.end()) return platform::kInvalidHandle;
    const RegistryStore& store = *it->second.store;
    const RegistryStore::Key& open = store.At(it->second.key);
    if (index >= open.subkeys.size()) return platform::kNoMoreItems;
    const std::string& subkey = store.At(open.subkeys[index]).name;
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
