// The first position under each text key among entries whose point lies in
// a given range of points. Each key has a segment tree over the points,
// built only where entries fall, whose nodes keep the least position below
// them and whose leaves keep a min-heap of positions. Entries carry their
// record's stamp as in FirstPositions: stale ones are dropped when they
// reach the top of their leaf, so every entry is added and dropped once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <boost/container/small_vector.hpp>

#include "collect/first_positions.h"

namespace linkscope {

class RangeFirstPositions {
public:
    static constexpr std::size_t npos = FirstPositions::npos;

    // Points lie in [0, `points`).
    explicit RangeFirstPositions(std::uint32_t points = 0) : points_(points) {}

    // Adds `position` under `key` at each of `points`, in ascending order.
    void Add(std::string_view key, const std::vector<std::uint32_t>& points, std::uint32_t position,
             std::uint32_t stamp);
    // The least position under `key` at a point in [begin, end), added with
    // the stamp its record holds in `stamps` now, or npos.
    std::size_t First(std::string_view key, std::uint32_t begin, std::uint32_t end,
                      const std::vector<std::uint32_t>& stamps);

private:
    static constexpr std::uint32_t kNone = UINT32_MAX;
    struct Node {
        std::uint32_t least = kNone;
        // Child node indexes, 0 for none; a leaf's first is its heap's index.
        std::uint32_t children[2] = {0, 0};
    };
    struct Entry {
        std::uint32_t position;
        std::uint32_t stamp;
    };

    // A fresh node, or a fresh leaf with its heap.
    std::uint32_t NewNode(bool leaf);
    // The child of `node` on the `upper` half, made if missing.
    std::uint32_t Child(std::uint32_t node, bool upper, bool leaf);
    // Adds `entry` at the points [first, last) below `node`, which spans [low, high).
    void AddBelow(std::uint32_t node, std::uint32_t low, std::uint32_t high, const std::uint32_t* first,
                  const std::uint32_t* last, Entry entry);
    // The leaf point under `root` holding the least position in
    // [begin, end), that position in `least`; kNone when the range holds none.
    std::uint32_t LeastPoint(std::uint32_t root, std::uint32_t begin, std::uint32_t end, std::uint32_t& least) const;
    // Drops the stale entries at the top of the leaf at `point` and
    // updates the least positions above it; false when its top was live.
    bool DropStale(std::uint32_t root, std::uint32_t point, const std::vector<std::uint32_t>& stamps);

    std::uint32_t points_;
    std::vector<Node> nodes_{Node()};  // node 0 stands for every absent child
    std::vector<boost::container::small_vector<Entry, 1>> heaps_;
    std::unordered_map<std::string, std::uint32_t> roots_;
};

}  // namespace linkscope
