// Finds positions in a caller's list by a text key that the list itself
// holds: a table of hashes and positions, open addressing with linear
// probing, so that a look-up reads one or two adjacent slots and then the
// one list element it checks. A slot keeps 32 bits of the hash and the
// position in 32 bits, eight bytes in all, so a list has fewer than 2^32
// elements. The keys are not copied: each call is given
// `keyAt`, called as `std::string_view keyAt(std::size_t position)`, to read
// them back, and the list must not change a key while it is indexed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace linkscope {

class PositionIndex {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    explicit PositionIndex(std::size_t expectedKeys = 0) {
        std::size_t size = 16;
        while (size < 2 * expectedKeys) size *= 2;  // at most half full
        slots_.resize(size);
    }

    // The position stored for `key`, or npos.
    template <class KeyAt>
    std::size_t Find(std::string_view key, const KeyAt& keyAt) const {
        return FindHashed(Hash(key), KeyMatches(key, keyAt));
    }

    // Stores `position` for `key` unless the key has a position already.
    // Returns the position the key has now and whether it was added.
    template <class KeyAt>
    std::pair<std::size_t, bool> Emplace(std::string_view key, std::size_t position, const KeyAt& keyAt) {
        return EmplaceHashed(Hash(key), position, KeyMatches(key, keyAt));
    }

    // The same for a list that does not keep its keys as texts: the caller
    // hashes the key and says, by `matches(position)`, whether the key at
    // a position is the one sought. Every call on one index must hash alike.
    template <class Matches>
    std::size_t FindHashed(std::size_t fullHash, const Matches& matches) const {
        const Slot& slot = slots_[SlotOf(static_cast<std::uint32_t>(fullHash), matches)];
        return slot.positionPlusOne == 0 ? npos : slot.positionPlusOne - 1;
    }

    template <class Matches>
    std::pair<std::size_t, bool> EmplaceHashed(std::size_t fullHash, std::size_t position, const Matches& matches) {
        if (2 * (used_ + 1) > slots_.size()) Grow();
        const auto hash = static_cast<std::uint32_t>(fullHash);
        Slot& slot = slots_[SlotOf(hash, matches)];
        if (slot.positionPlusOne != 0) return {slot.positionPlusOne - 1, false};
        slot = Slot{hash, static_cast<std::uint32_t>(position + 1)};
        ++used_;
        return {position, true};
    }

private:
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t positionPlusOne = 0;  // 0: free
    };

    static std::size_t Hash(std::string_view key) { return std::hash<std::string_view>()(key); }

    template <class KeyAt>
    static auto KeyMatches(std::string_view key, const KeyAt& keyAt) {
        return [key, &keyAt](std::size_t position) { return keyAt(position) == key; };
    }

    // The slot of the key sought, or the free one where it would go.
    template <class Matches>
    std::size_t SlotOf(std::uint32_t hash, const Matches& matches) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hash & mask;
        for (; slots_[at].positionPlusOne != 0; at = (at + 1) & mask) {
            if (slots_[at].hash == hash && matches(slots_[at].positionPlusOne - 1)) break;
        }
        return at;
    }

    void Grow() {
        std::vector<Slot> old(2 * slots_.size());
        old.swap(slots_);
        const std::size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.positionPlusOne == 0) continue;
            std::size_t at = slot.hash & mask;
            while (slots_[at].positionPlusOne != 0) at = (at + 1) & mask;
            slots_[at] = slot;
        }
    }

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

}  // namespace linkscope
