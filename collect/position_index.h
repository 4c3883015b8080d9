// Finds positions in a caller's list by a text key that the list itself
// holds: a table of hashes and positions, open addressing with linear
// probing, so that a look-up reads one or two adjacent slots and then the
// one list element it checks. The keys are not copied; the list must not
// change the text of a key it holds while the index lives.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

namespace linkscope {

// `KeyAt` is called as `std::string_view keyAt(std::size_t position)`.
template <class KeyAt>
class PositionIndex {
public:
    explicit PositionIndex(KeyAt keyAt, std::size_t expectedKeys = 0) : keyAt_(std::move(keyAt)) {
        std::size_t size = 16;
        while (size < 2 * expectedKeys) size *= 2;  // at most half full
        slots_.resize(size);
    }

    // The position stored for `key`, or npos.
    std::size_t Find(std::string_view key) const {
        const Slot& slot = slots_[SlotOf(key, Hash(key))];
        return slot.positionPlusOne == 0 ? npos : slot.positionPlusOne - 1;
    }

    // Stores `position` for `key` unless the key has a position already.
    // Returns the position the key has now and whether it was added.
    std::pair<std::size_t, bool> Emplace(std::string_view key, std::size_t position) {
        if (2 * (used_ + 1) > slots_.size()) Grow();
        const std::size_t hash = Hash(key);
        Slot& slot = slots_[SlotOf(key, hash)];
        if (slot.positionPlusOne != 0) return {slot.positionPlusOne - 1, false};
        slot = Slot{hash, position + 1};
        ++used_;
        return {position, true};
    }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    struct Slot {
        std::size_t hash = 0;
        std::size_t positionPlusOne = 0;  // 0: free
    };

    static std::size_t Hash(std::string_view key) { return std::hash<std::string_view>()(key); }

    // The slot of `key`, or the free one where it would go.
    std::size_t SlotOf(std::string_view key, std::size_t hash) const {
        const std::size_t mask = slots_.size() - 1;
        std::size_t at = hash & mask;
        for (; slots_[at].positionPlusOne != 0; at = (at + 1) & mask) {
            if (slots_[at].hash == hash && keyAt_(slots_[at].positionPlusOne - 1) == key) break;
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

    KeyAt keyAt_;
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

}  // namespace linkscope
