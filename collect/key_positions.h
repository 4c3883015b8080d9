// Positions of records by one text key, kept in ascending order: the index
// behind first-match look-ups over a list. Keys are stored side by side in
// the order they were first added, and found through a table of hashes, so
// a look-up that finds nothing reads one slot. A key held by a single
// record needs no allocation beyond its text; an emptied key keeps its place.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <boost/container/small_vector.hpp>

namespace linkscope {

class KeyPositions {
public:
    using Positions = boost::container::small_vector<std::size_t, 1>;

    explicit KeyPositions(std::size_t expectedKeys = 0);

    // Adds `position` under `key`, in order.
    void Add(const std::string& key, std::size_t position);
    void Remove(const std::string& key, std::size_t position);
    // The positions of `key`, ascending; null when it was never added.
    const Positions* Find(const std::string& key) const;

private:
    struct Key {
        std::string text;
        Positions positions;
    };
    struct Slot {
        std::size_t hash = 0;
        std::size_t keyPlusOne = 0;  // 0: free
    };

    // The slot of `text`, or the free one where it would go.
    std::size_t SlotOf(const std::string& text, std::size_t hash) const;
    void Grow();

    std::vector<Key> keys_;
    std::vector<Slot> slots_;  // a power of two in size, at most half in use
};

}  // namespace linkscope
