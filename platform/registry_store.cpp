#include "platform/registry_store.h"

#include <algorithm>

#include "platform/text_case.h"

namespace linkscope::platform {
namespace {

// A key with at most this many values is searched where its values lie;
// one with more gets an index.
constexpr std::size_t kValueScanLimit = 16;

std::uint64_t ContinueFnv(std::uint64_t hash, std::string_view text, NameMatch match) {
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(match == NameMatch::kAnyCase ? FoldChar(c) : c);
        hash *= 1099511628211ull;
    }
    return hash;
}

}  // namespace

std::vector<std::uint8_t> RegistryTextData(std::string_view text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    return data;
}

std::vector<std::uint8_t> RegistryDwordData(std::uint32_t number) {
    std::vector<std::uint8_t> data(4);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(number >> (8 * i));
    return data;
}

// FNV-1a over the name, letters folded when names match in any case.
std::size_t RegistryStore::NameHash::operator()(std::string_view name) const {
    return static_cast<std::size_t>(ContinueFnv(kEmptyPathHash, name, match));
}

bool RegistryStore::NameEqual::operator()(std::string_view a, std::string_view b) const {
    if (match == NameMatch::kExact) return a == b;
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldChar(x) == FoldChar(y); });
}

RegistryStore::RegistryStore(NameMatch names) : match_(names), keys_(1), pathHashes_(1) {}

void RegistryStore::Reserve(std::size_t keys) {
    keys_.reserve(keys);
    pathHashes_.reserve(keys);
    PositionIndex index(keys);
    // In key order, so that of two keys with one path the first added is
    // probed first and found.
    for (KeyId key = kRoot + 1; key < keys_.size(); ++key) {
        index.EmplaceHashed(pathHashes_[key], key, [](std::size_t) { return false; });
    }
    pathIndex_ = std::move(index);
}

std::uint64_t RegistryStore::ContinueHash(std::uint64_t hash, std::string_view text) const {
    return ContinueFnv(hash, text, match_);
}

bool RegistryStore::HasPath(KeyId key, std::string_view path) const {
    const NameEqual equal{match_};
    while (key != kRoot) {
        const std::string& name = keys_[key].name;
        if (path.size() < name.size() || !equal(path.substr(path.size() - name.size()), name)) return false;
        path.remove_suffix(name.size());
        key = keys_[key].parent;
        if (key == kRoot) break;
        if (path.empty() || path.back() != '\\') return false;
        path.remove_suffix(1);
    }
    return path.empty();
}

RegistryStore::KeyId RegistryStore::AddKey(KeyId parent, const std::string& name) {
    const std::uint64_t hash =
        ContinueHash(parent == kRoot ? kEmptyPathHash : ContinueHash(pathHashes_[parent], "\\"), name);
    const NameEqual equal{match_};
    // Whether the key at `other` has the path the new key would have.
    const auto samePath = [&](std::size_t other) {
        if (keys_[other].parent == parent) return equal(keys_[other].name, name);
        // The same path through a name that holds a backslash: rare, so
        // the paths are written out to compare.
        std::string path;
        AppendPath(parent, path);
        if (parent != kRoot) path += '\\';
        path += name;
        return HasPath(other, path);
    };
    const std::size_t found = pathIndex_.FindHashed(hash, samePath);
    if (found != PositionIndex::npos) {
        if (keys_[found].parent == parent) return found;
        for (const KeyId child : keys_[parent].subkeys) {
            if (equal(keys_[child].name, name)) return child;
        }
    }
    const KeyId key = keys_.size();
    keys_.push_back(Key{parent, name, {}, {}, kSuccess, kSuccess});
    keys_[parent].subkeys.push_back(key);
    pathHashes_.push_back(hash);
    // A key whose path another key has already stays out of the index, so
    // that the first one added is found.
    pathIndex_.EmplaceHashed(hash, key, samePath);
    return key;
}

void RegistryStore::AppendPath(KeyId key, std::string& out) const {
    if (key == kRoot) return;
    if (keys_[key].parent != kRoot) {
        AppendPath(keys_[key].parent, out);
        out += '\\';
    }
    out += keys_[key].name;
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

void RegistryStore::SetValue(KeyId key, const std::string& name, std::uint32_t type, std::vector<std::uint8_t> data) {
    auto& values = keys_[key].values;
    if (const auto position = PositionOf(key, name)) {
        values[*position].type = type;
        values[*position].data = std::move(data);
        return;
    }
    values.push_back(Value{name, type, std::move(data)});
    if (values.size() <= kValueScanLimit) return;
    auto [index, created] = valueIndexes_.try_emplace(key, 0, NameHash{match_}, NameEqual{match_});
    if (created) {
        for (std::size_t i = 0; i < values.size(); ++i) index->second.emplace(values[i].name, i);
    } else {
        index->second.emplace(name, values.size() - 1);
    }
}

void RegistryStore::SetText(KeyId key, const std::string& name, const std::string& text) {
    SetValue(key, name, kRegSz, RegistryTextData(text));
}

void RegistryStore::SetDword(KeyId key, const std::string& name, std::uint32_t number) {
    SetValue(key, name, kRegDword, RegistryDwordData(number));
}

void RegistryStore::SetFaults(KeyId key, ResultCode openResult, ResultCode queryInfoResult) {
    keys_[key].openResult = openResult;
    keys_[key].queryInfoResult = queryInfoResult;
}

std::optional<RegistryStore::KeyId> RegistryStore::Find(std::string_view path) const {
    if (path.empty()) return kRoot;
    const std::size_t found = pathIndex_.FindHashed(ContinueHash(kEmptyPathHash, path), PathIs(path));
    if (found == PositionIndex::npos) return std::nullopt;
    return found;
}

std::optional<std::size_t> RegistryStore::PositionOf(KeyId key, std::string_view name) const {
    const auto& values = keys_[key].values;
    if (values.size() <= kValueScanLimit) {
        const NameEqual equal{match_};
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (equal(values[i].name, name)) return i;
        }
        return std::nullopt;
    }
    const ValueIndex& index = valueIndexes_.at(key);
    const auto it = index.find(std::string(name));
    if (it == index.end()) return std::nullopt;
    return it->second;
}

std::optional<RegistryTree::Value> RegistryStore::FindValue(KeyId key, std::string_view name) const {
    const auto position = PositionOf(key, name);
    if (!position) return std::nullopt;
    const Value& stored = keys_[key].values[*position];
    return Value{{}, stored.type, stored.data};
}

}  // namespace linkscope::platform
