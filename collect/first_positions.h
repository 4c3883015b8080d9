// The first position under each text key of a list whose records change
// keys: a min-heap of positions per key. Every change of a record gives it
// a new stamp, and the record is added again under its keys of now; entries
// made under an older stamp are stale and are dropped once they reach the
// top of their heap. Nothing is searched for to be removed, so adding and
// finding cost a logarithm of the entries under one key, whatever the
// order of the changes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <boost/container/small_vector.hpp>

#include "platform/position_index.h"

namespace linkscope {

// Orders a heap of entries with the least position on top.
struct LaterPosition {
    template <class Entry>
    bool operator()(const Entry& left, const Entry& right) const {
        return left.position > right.position;
    }
};

class FirstPositions {
public:
    static constexpr std::size_t npos = PositionIndex::npos;

    explicit FirstPositions(std::size_t expectedKeys = 0);

    void Add(std::string_view key, std::uint32_t position, std::uint32_t stamp);
    // The least position under `key` added with the stamp its record holds
    // in `stamps` now, or npos.
    std::size_t First(std::string_view key, const std::vector<std::uint32_t>& stamps);

private:
    struct Entry {
        std::uint32_t position;
        std::uint32_t stamp;
    };
    struct Key {
        std::string text;
        boost::container::small_vector<Entry, 1> heap;
    };
    std::string_view TextAt(std::size_t at) const { return keys_[at].text; }

    std::vector<Key> keys_;
    PositionIndex index_;
};

}  // namespace linkscope
