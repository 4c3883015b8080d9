#include "collect/key_positions.h"

#include <algorithm>
#include <functional>

namespace linkscope {
namespace {

std::size_t HashOf(const std::string& text) { return std::hash<std::string>()(text); }

}  // namespace

KeyPositions::KeyPositions(std::size_t expectedKeys) {
    std::size_t size = 16;
    while (size < 2 * expectedKeys) size *= 2;
    slots_.resize(size);
    keys_.reserve(expectedKeys);
}

std::size_t KeyPositions::SlotOf(const std::string& text, std::size_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    for (; slots_[at].keyPlusOne != 0; at = (at + 1) & mask) {
        if (slots_[at].hash == hash && keys_[slots_[at].keyPlusOne - 1].text == text) break;
    }
    return at;
}

void KeyPositions::Grow() {
    std::vector<Slot> old(2 * slots_.size());
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.keyPlusOne == 0) continue;
        std::size_t at = slot.hash & mask;
        while (slots_[at].keyPlusOne != 0) at = (at + 1) & mask;
        slots_[at] = slot;
    }
}

void KeyPositions::Add(const std::string& key, std::size_t position) {
    if (2 * (keys_.size() + 1) > slots_.size()) Grow();
    const std::size_t hash = HashOf(key);
    Slot& slot = slots_[SlotOf(key, hash)];
    if (slot.keyPlusOne == 0) {
        keys_.push_back(Key{key, {}});
        slot = Slot{hash, keys_.size()};
    }
    Positions& positions = keys_[slot.keyPlusOne - 1].positions;
    positions.insert(std::lower_bound(positions.begin(), positions.end(), position), position);
}

void KeyPositions::Remove(const std::string& key, std::size_t position) {
    const Slot& slot = slots_[SlotOf(key, HashOf(key))];
    if (slot.keyPlusOne == 0) return;
    Positions& positions = keys_[slot.keyPlusOne - 1].positions;
    const auto at = std::lower_bound(positions.begin(), positions.end(), position);
    if (at != positions.end() && *at == position) positions.erase(at);
}

const KeyPositions::Positions* KeyPositions::Find(const std::string& key) const {
    const Slot& slot = slots_[SlotOf(key, HashOf(key))];
    return slot.keyPlusOne == 0 ? nullptr : &keys_[slot.keyPlusOne - 1].positions;
}

}  // namespace linkscope
