#include "platform/registry_store.h"

#include <algorithm>

#include "platform/text_case.h"

namespace linkscope::platform {
namespace {

// A key with at most this many values is searched where its values lie;
// one with more gets an index.
constexpr std::size_t kValueScanLimit = 16;

}  // namespace

std::vector<std::uint8_t> RegistryTextData(const std::string& text) {
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
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name) {
        hash ^= static_cast<unsigned char>(match == NameMatch::kAnyCase ? FoldChar(c) : c);
        hash *= 1099511628211ull;
    }
    return static_cast<std::size_t>(hash);
}

bool RegistryStore::NameEqual::operator()(std::string_view a, std::string_view b) const {
    if (match == NameMatch::kExact) return a == b;
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldChar(x) == FoldChar(y); });
}

RegistryStore::RegistryStore(NameMatch names) : match_(names), keys_(1), paths_(1) {}

void RegistryStore::Reserve(std::size_t keys) {
    keys_.reserve(keys);
    paths_.reserve(keys);
    PositionIndex index(keys);
    for (KeyId key = kRoot + 1; key < paths_.size(); ++key) index.Emplace(paths_[key], key, PathAt());
    pathIndex_ = std::move(index);
}

std::string_view RegistryStore::Matchable(std::string_view text) const {
    if (match_ == NameMatch::kExact) return text;
    thread_local std::string folded;
    folded.resize(text.size());
    std::transform(text.begin(), text.end(), folded.begin(), FoldChar);
    return folded;
}

RegistryStore::KeyId RegistryStore::AddKey(KeyId parent, const std::string& name) {
    std::string path = parent == kRoot ? std::string() : paths_[parent] + '\\';
    path += Matchable(name);
    if (const auto existing = FindChild(parent, name, path)) return *existing;
    const KeyId key = keys_.size();
    keys_.push_back(Key{parent, name, {}, {}, kSuccess, kSuccess});
    keys_[parent].subkeys.push_back(key);
    paths_.push_back(std::move(path));
    pathIndex_.Emplace(paths_[key], key, PathAt());
    return key;
}

std::optional<RegistryStore::KeyId> RegistryStore::FindChild(KeyId parent, const std::string& name,
                                                             const std::string& path) const {
    const std::size_t found = pathIndex_.Find(path, PathAt());
    if (found == PositionIndex::npos) return std::nullopt;
    const NameEqual equal{match_};
    if (keys_[found].parent == parent && equal(keys_[found].name, name)) return found;
    // Another key has the same path through a name that holds a backslash.
    for (const KeyId child : keys_[parent].subkeys) {
        if (equal(keys_[child].name, name)) return child;
    }
    return std::nullopt;
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
    const std::size_t found = pathIndex_.Find(Matchable(path), PathAt());
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

const RegistryStore::Value* RegistryStore::FindValue(KeyId key, std::string_view name) const {
    const auto position = PositionOf(key, name);
    return position ? &keys_[key].values[*position] : nullptr;
}

}  // namespace linkscope::platform
