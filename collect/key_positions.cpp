#include "collect/key_positions.h"

#include <algorithm>

namespace linkscope {

KeyPositions::KeyPositions(std::size_t expectedKeys) : index_(expectedKeys) {
    keys_.reserve(expectedKeys);
}

void KeyPositions::Add(const std::string& key, std::size_t position) {
    const auto [at, added] = index_.Emplace(key, keys_.size(), [this](std::size_t at) { return TextAt(at); });
    if (added) keys_.push_back(Key{key, {}});
    Positions& positions = keys_[at].positions;
    positions.insert(std::lower_bound(positions.begin(), positions.end(), position), position);
}

void KeyPositions::Remove(const std::string& key, std::size_t position) {
    const std::size_t at = index_.Find(key, [this](std::size_t at) { return TextAt(at); });
    if (at == index_.npos) return;
    Positions& positions = keys_[at].positions;
    const auto found = std::lower_bound(positions.begin(), positions.end(), position);
    if (found != positions.end() && *found == position) positions.erase(found);
}

const KeyPositions::Positions* KeyPositions::Find(const std::string& key) const {
    const std::size_t at = index_.Find(key, [this](std::size_t at) { return TextAt(at); });
    return at == index_.npos ? nullptr : &keys_[at].positions;
}

}  // namespace linkscope
