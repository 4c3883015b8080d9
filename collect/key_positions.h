// Positions of records by one text key, kept in ascending order: the index
// behind first-match look-ups over a list. Keys are stored side by side in
// the order they were first added and found through a PositionIndex; a key
// held by a single record needs no allocation beyond its text, and an
// emptied key keeps its place.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <boost/container/small_vector.hpp>

#include "platform/position_index.h"

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
    std::string_view TextAt(std::size_t at) const { return keys_[at].text; }

    std::vector<Key> keys_;
    PositionIndex index_;
};

}  // namespace linkscope
