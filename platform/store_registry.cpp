#include "platform/store_registry.h"

#include <algorithm>

namespace linkscope::platform {
namespace {

// What a caller's buffer of `bufferSize` bytes receives of `stored`: all
// of it, or nothing but the size it would need.
RegValue Answer(RegistryTree::Value stored, std::uint32_t bufferSize) {
    const auto size = static_cast<std::uint32_t>(stored.data.size());
    if (size > bufferSize) return {kMoreData, stored.type, {}, size};
    return {kSuccess, stored.type, std::move(stored.data), size};
}

// The system refuses to create a key at a path with an empty part.
bool IsCreatablePath(const std::string& path) {
    return !path.empty() && path.front() != '\\' && path.back() != '\\' && path.find("\\\\") == std::string::npos;
}

}  // namespace

ResultCode StoreRegistry::OpenKey(const std::string& path, std::uint32_t /*access*/, RegKey* key) {
    std::shared_ptr<const RegistryTree> tree = current_();
    const auto found = tree ? tree->Find(path) : std::nullopt;
    if (!found) return kFileNotFound;
    if (const ResultCode fault = tree->OpenResult(*found); fault != kSuccess) return fault;
    *key = nextHandle_++;
    open_.push_back(OpenKeyState{*key, std::move(tree), *found});
    return kSuccess;
}

void StoreRegistry::CloseKey(RegKey key) {
    const auto open = std::find_if(open_.rbegin(), open_.rend(), HandleIs(key));
    if (open == open_.rend()) return;
    if (open != open_.rbegin()) *open = std::move(open_.back());
    open_.pop_back();
}

const StoreRegistry::OpenKeyState* StoreRegistry::Find(RegKey key) const {
    const auto open = std::find_if(open_.rbegin(), open_.rend(), HandleIs(key));
    return open == open_.rend() ? nullptr : &*open;
}

ResultCode StoreRegistry::QueryInfoKey(RegKey key, std::uint32_t* subkeys, std::uint32_t* values) {
    const OpenKeyState* open = Find(key);
    if (open == nullptr) return kInvalidHandle;
    const RegistryTree& tree = *open->tree;
    if (const ResultCode fault = tree.QueryInfoResult(open->key); fault != kSuccess) return fault;
    if (subkeys != nullptr) *subkeys = static_cast<std::uint32_t>(tree.SubkeyCount(open->key));
    if (values != nullptr) *values = static_cast<std::uint32_t>(tree.ValueCount(open->key));
    return kSuccess;
}

ResultCode StoreRegistry::EnumKey(RegKey key, std::uint32_t index, std::uint32_t maxNameChars, std::string* name) {
    const OpenKeyState* open = Find(key);
    if (open == nullptr) return kInvalidHandle;
    if (index >= open->tree->SubkeyCount(open->key)) return kNoMoreItems;
    std::string subkey = open->tree->SubkeyName(open->key, index);
    if (subkey.size() > maxNameChars) return kMoreData;
    *name = std::move(subkey);
    return kSuccess;
}

RegValue StoreRegistry::QueryValue(RegKey key, const std::string& name, std::uint32_t bufferSize) {
    const OpenKeyState* open = Find(key);
    std::optional<RegistryTree::Value> stored = open ? open->tree->FindValue(open->key, name) : std::nullopt;
    if (stored) return Answer(std::move(*stored), bufferSize);
    RegValue missing;
    missing.result = open ? kFileNotFound : kInvalidHandle;
    return missing;
}

RegEnumValue StoreRegistry::EnumValue(RegKey key, std::uint32_t index, std::uint32_t maxNameChars,
                                      std::uint32_t bufferSize) {
    const OpenKeyState* open = Find(key);
    if (open == nullptr || index >= open->tree->ValueCount(open->key)) {
        const ResultCode result = open ? kNoMoreItems : kInvalidHandle;
        return {result, {}, {result, kRegNone, {}, 0}};
    }
    RegistryTree::Value stored = open->tree->ValueAt(open->key, index);
    // A name longer than the caller allows is "more data" too, whatever
    // the data's size.
    const bool nameFits = stored.name.size() <= maxNameChars;
    std::string name = std::move(stored.name);
    RegValue value = Answer(std::move(stored), nameFits ? bufferSize : 0);
    if (!nameFits) value.result = kMoreData;
    if (value.result != kSuccess) name.clear();
    return {value.result, std::move(name), std::move(value)};
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
