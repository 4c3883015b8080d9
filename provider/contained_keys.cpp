#include "provider/contained_keys.h"

#include <algorithm>
#include <cstring>

namespace linkscope::provider {
namespace {

// A polynomial hash modulo 2^64. Equal hashes are only candidates: every
// window that hits is compared with the key, so a collision costs a
// comparison, never a wrong answer.
constexpr std::uint64_t kBase = 0x100000001B3ull;

std::uint64_t HashOf(std::string_view text) {
    std::uint64_t hash = 0;
    for (const char c : text) hash = hash * kBase + static_cast<unsigned char>(c);
    return hash;
}

// Keys of different lengths with the same hash land apart.
std::uint64_t Mixed(std::uint64_t hash, std::size_t length) {
    return hash ^ (static_cast<std::uint64_t>(length) * 0x9E3779B97F4A7C15ull);
}

}  // namespace

std::uint32_t ContainedKeys::KeyOf(std::string_view text, std::uint64_t hash) const {
    const auto found = byHash_.find(Mixed(hash, text.size()));
    if (found == byHash_.end()) return kEnd;
    for (std::uint32_t key = found->second; key != kEnd; key = keys_[key].nextSameHash) {
        const std::string& candidate = keys_[key].text;
        if (candidate.size() == text.size() && std::memcmp(candidate.data(), text.data(), text.size()) == 0) {
            return key;
        }
    }
    return kEnd;
}

void ContainedKeys::Append(std::string_view key, std::uint32_t identity) {
    const auto item = static_cast<std::uint32_t>(identities_.size());
    identities_.push_back(identity);
    nextSameKey_.push_back(kEnd);
    identityCount_ = std::max(identityCount_, identity + 1);

    const std::uint64_t hash = HashOf(key);
    if (const std::uint32_t existing = KeyOf(key, hash); existing != kEnd) {
        nextSameKey_[keys_[existing].lastItem] = item;
        keys_[existing].lastItem = item;
        return;
    }
    const auto added = static_cast<std::uint32_t>(keys_.size());
    const auto [slot, inserted] = byHash_.try_emplace(Mixed(hash, key.size()), added);
    keys_.push_back(Key{std::string(key), item, item, inserted ? kEnd : slot->second});
    slot->second = added;

    const auto place = std::lower_bound(lengths_.begin(), lengths_.end(), key.size(),
                                        [](const Length& l, std::size_t length) { return l.length < length; });
    if (place == lengths_.end() || place->length != key.size()) {
        std::uint64_t topPower = 1;
        for (std::size_t i = 1; i < key.size(); ++i) topPower *= kBase;
        lengths_.insert(place, Length{key.size(), topPower});
    }
}

template <class Found>
void ContainedKeys::ForEachKeyWithin(std::string_view text, Found found) const {
    for (const Length& length : lengths_) {
        const std::size_t n = length.length;
        if (n > text.size()) break;
        std::uint64_t hash = HashOf(text.substr(0, n));
        for (std::size_t start = 0;; ++start) {
            if (const std::uint32_t key = KeyOf(text.substr(start, n), hash); key != kEnd) found(key);
            if (n == 0 || start + n == text.size()) break;
            hash = (hash - static_cast<unsigned char>(text[start]) * length.topPower) * kBase +
                   static_cast<unsigned char>(text[start + n]);
        }
    }
}

std::size_t ContainedKeys::FirstWithin(std::string_view text) const {
    std::size_t first = kNone;
    ForEachKeyWithin(text, [&](std::uint32_t key) { first = std::min<std::size_t>(first, keys_[key].firstItem); });
    return first;
}

ContainedKeys::UsedList ContainedKeys::NewUsedList() const {
    UsedList list;
    list.used_.assign(identityCount_, false);
    list.firstFree_.reserve(keys_.size());
    for (const Key& key : keys_) list.firstFree_.push_back(key.firstItem);
    return list;
}

std::size_t ContainedKeys::TakeFirstWithin(std::string_view text, UsedList& used) const {
    std::size_t first = kNone;
    ForEachKeyWithin(text, [&](std::uint32_t key) {
        std::uint32_t& item = used.firstFree_[key];
        while (item != kEnd && used.used_[identities_[item]]) item = nextSameKey_[item];
        if (item != kEnd) first = std::min<std::size_t>(first, item);
    });
    if (first != kNone) used.used_[identities_[first]] = true;
    return first;
}

}  // namespace linkscope::provider
