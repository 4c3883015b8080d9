#include "platform/sim/registry_tree.h"

#include <functional>
#include <string_view>

#include "platform/sim/text_case.h"

namespace linkscope::sim {
namespace {

// A key with at most this many values is searched by name where its values
// lie; the shared index serves keys with more.
constexpr std::size_t kValueScanLimit = 16;

char FoldChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualFolded(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldChar(a[i]) != FoldChar(b[i])) return false;
    }
    return true;
}

// `path` in lower case, in a buffer kept by the thread so that a lookup
// does not allocate.
std::string_view FoldedView(const std::string& path) {
    thread_local std::string buffer;
    buffer.resize(path.size());
    for (std::size_t i = 0; i < path.size(); ++i) buffer[i] = FoldChar(path[i]);
    return buffer;
}

// Calls `visit(part)` for each "\\"-separated part of `path` until it answers
// false; the empty path has no part.
template <typename Visit>
bool ForEachPart(const std::string& path, Visit visit) {
    if (path.empty()) return true;
    std::size_t start = 0;
    for (;;) {
        const auto end = path.find('\\', start);
        if (!visit(path.substr(start, end == std::string::npos ? end : end - start))) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

}  // namespace

std::size_t RegistryTree::SlotHash::operator()(const Slot& slot) const {
    return std::hash<std::string>()(slot.name) * 31 + slot.parent;
}

RegistryTree::RegistryTree() : keys_(1) {}

RegistryTree::KeyId RegistryTree::CreateKey(const std::string& path) {
    KeyId key = kRoot;
    std::string folded;
    ForEachPart(path, [&](const std::string& part) {
        if (!folded.empty() || key != kRoot) folded += '\\';
        folded += FoldCase(part);
        if (auto child = FindChild(key, part)) {
            key = *child;
            return true;
        }
        const KeyId created = keys_.size();
        keys_.push_back(Key{part, folded, {}, {}, platform::kSuccess, platform::kSuccess});
        keys_[key].subkeys.push_back(created);
        subkeyIndex_.emplace(Slot{key, FoldCase(part)}, created);
        pathIndex_.Emplace(FoldedPathAt(created), created, [this](KeyId at) { return FoldedPathAt(at); });
        key = created;
        return true;
    });
    return key;
}

std::optional<RegistryTree::KeyId> RegistryTree::FindKey(const std::string& path) const {
    if (path.empty()) return kRoot;
    const KeyId key = pathIndex_.Find(FoldedView(path), [this](KeyId at) { return FoldedPathAt(at); });
    if (key == PositionIndex::npos) return std::nullopt;
    return key;
}

std::optional<RegistryTree::KeyId> RegistryTree::FindChild(KeyId parent, const std::string& name) const {
    const auto it = subkeyIndex_.find(Slot{parent, FoldCase(name)});
    if (it == subkeyIndex_.end()) return std::nullopt;
    return it->second;
}

void RegistryTree::SetValue(KeyId key, RawValue value) {
    auto& values = keys_[key].values;
    const auto [it, added] = valueIndex_.emplace(Slot{key, FoldCase(value.name)}, values.size());
    if (added) {
        values.push_back(std::move(value));
    } else {
        values[it->second].type = value.type;
        values[it->second].data = std::move(value.data);
    }
}

const RawValue* RegistryTree::FindValue(KeyId key, const std::string& name) const {
    const auto& values = keys_[key].values;
    if (values.size() <= kValueScanLimit) {
        for (const RawValue& value : values) {
            if (EqualFolded(value.name, name)) return &value;
        }
        return nullptr;
    }
    const auto it = valueIndex_.find(Slot{key, FoldCase(name)});
    return it == valueIndex_.end() ? nullptr : &keys_[key].values[it->second];
}

RawValue MakeTextValue(const std::string& name, const std::string& text) {
    RawValue value{name, platform::kRegSz, std::vector<std::uint8_t>(text.begin(), text.end())};
    value.data.push_back(0);
    return value;
}

RawValue MakeDwordValue(const std::string& name, std::uint32_t number) {
    RawValue value{name, platform::kRegDword, {}};
    for (int shift = 0; shift < 32; shift += 8) value.data.push_back(static_cast<std::uint8_t>(number >> shift));
    return value;
}

}  // namespace linkscope::sim
