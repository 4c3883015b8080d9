#include "collect/range_first_positions.h"

#include <algorithm>

namespace linkscope {

std::uint32_t RangeFirstPositions::NewNode(bool leaf) {
    Node node;
    if (leaf) {
        node.children[0] = static_cast<std::uint32_t>(heaps_.size());
        heaps_.emplace_back();
    }
    nodes_.push_back(node);
    return static_cast<std::uint32_t>(nodes_.size() - 1);
}

std::uint32_t RangeFirstPositions::Child(std::uint32_t node, bool upper, bool leaf) {
    std::uint32_t child = nodes_[node].children[upper];
    if (child == 0) {
        child = NewNode(leaf);
        nodes_[node].children[upper] = child;
    }
    return child;
}

void RangeFirstPositions::AddBelow(std::uint32_t node, std::uint32_t low, std::uint32_t high,
                                   const std::uint32_t* first, const std::uint32_t* last, Entry entry) {
    nodes_[node].least = std::min(nodes_[node].least, entry.position);
    if (high - low == 1) {
        auto& heap = heaps_[nodes_[node].children[0]];
        heap.push_back(entry);
        std::push_heap(heap.begin(), heap.end(), LaterPosition());
        return;
    }
    // Each node above several points is visited once for all of them.
    const std::uint32_t middle = low + (high - low) / 2;
    const std::uint32_t* split = std::lower_bound(first, last, middle);
    if (first != split) AddBelow(Child(node, false, middle - low == 1), low, middle, first, split, entry);
    if (split != last) AddBelow(Child(node, true, high - middle == 1), middle, high, split, last, entry);
}

void RangeFirstPositions::Add(std::string_view key, const std::vector<std::uint32_t>& points,
                              std::uint32_t position, std::uint32_t stamp) {
    if (points.empty()) return;
    std::uint32_t& root = roots_[std::string(key)];
    if (root == 0) root = NewNode(points_ == 1);
    AddBelow(root, 0, points_, points.data(), points.data() + points.size(), Entry{position, stamp});
}

std::uint32_t RangeFirstPositions::LeastPoint(std::uint32_t root, std::uint32_t begin, std::uint32_t end,
                                              std::uint32_t& least) const {
    struct Span {
        std::uint32_t node, low, high;
    };
    // The subtrees that cover the range, the one with the least position kept.
    Span best{0, 0, 0};
    Span pending[2 * 34];
    std::size_t count = 0;
    pending[count++] = Span{root, 0, points_};
    while (count > 0) {
        const Span span = pending[--count];
        const Node& node = nodes_[span.node];
        if (span.node == 0 || node.least >= nodes_[best.node].least || span.high <= begin || end <= span.low) continue;
        if (begin <= span.low && span.high <= end) {
            best = span;
            continue;
        }
        const std::uint32_t middle = span.low + (span.high - span.low) / 2;
        pending[count++] = Span{node.children[0], span.low, middle};
        pending[count++] = Span{node.children[1], middle, span.high};
    }
    least = nodes_[best.node].least;
    if (best.node == 0) return kNone;
    // Down the children that hold that least position.
    while (best.high - best.low > 1) {
        const Node& node = nodes_[best.node];
        const std::uint32_t middle = best.low + (best.high - best.low) / 2;
        if (nodes_[node.children[0]].least == node.least) {
            best = Span{node.children[0], best.low, middle};
        } else {
            best = Span{node.children[1], middle, best.high};
        }
    }
    return best.low;
}

bool RangeFirstPositions::DropStale(std::uint32_t root, std::uint32_t point, const std::vector<std::uint32_t>& stamps) {
    std::uint32_t path[34];
    std::size_t depth = 0;
    std::uint32_t node = root;
    std::uint32_t low = 0;
    std::uint32_t high = points_;
    while (high - low > 1) {
        path[depth++] = node;
        const std::uint32_t middle = low + (high - low) / 2;
        const bool upper = point >= middle;
        (upper ? low : high) = middle;
        node = nodes_[node].children[upper];
    }
    auto& heap = heaps_[nodes_[node].children[0]];
    const auto stale = [&] { return !heap.empty() && heap.front().stamp != stamps[heap.front().position]; };
    if (!stale()) return false;
    while (stale()) {
        std::pop_heap(heap.begin(), heap.end(), LaterPosition());
        heap.pop_back();
    }
    nodes_[node].least = heap.empty() ? kNone : heap.front().position;
    while (depth > 0) {
        Node& above = nodes_[path[--depth]];
        above.least = std::min(nodes_[above.children[0]].least, nodes_[above.children[1]].least);
    }
    return true;
}

std::size_t RangeFirstPositions::First(std::string_view key, std::uint32_t begin, std::uint32_t end,
                                       const std::vector<std::uint32_t>& stamps) {
    const auto root = roots_.find(std::string(key));
    if (root == roots_.end()) return npos;
    end = std::min(end, points_);
    for (;;) {
        std::uint32_t least = kNone;
        const std::uint32_t point = LeastPoint(root->second, begin, end, least);
        if (point == kNone) return npos;
        if (!DropStale(root->second, point, stamps)) return least;
    }
}

}  // namespace linkscope
