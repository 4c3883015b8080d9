#include "collect/pattern_set.h"

#include <algorithm>

namespace linkscope {

PatternSet::PatternSet(const std::vector<std::string_view>& patterns) {
    std::uint32_t nextId = 0;
    std::uint32_t maxDepth = 0;
    for (std::string_view pattern : patterns) {
        if (pattern.empty()) continue;
        std::uint32_t node = 0;
        for (const char c : pattern) {
            const auto byte = static_cast<unsigned char>(c);
            const auto [edge, added] = edges_.try_emplace(EdgeKey(node, byte), static_cast<std::uint32_t>(nodes_.size()));
            if (added) {
                Node child;
                child.parent = node;
                child.depth = nodes_[node].depth + 1;
                child.byte = byte;
                maxDepth = std::max(maxDepth, child.depth);
                nodes_.push_back(child);
            }
            node = edge->second;
        }
        if (nodes_[node].id == npos) nodes_[node].id = nextId++;
    }

    // Fallbacks by depth: a node's fallback is shallower than the node, so
    // it is complete when the node is reached.
    std::vector<std::uint32_t> byDepth(nodes_.size());
    std::vector<std::uint32_t> firstOfDepth(maxDepth + 2, 0);
    for (const Node& node : nodes_) ++firstOfDepth[node.depth + 1];
    for (std::size_t depth = 1; depth < firstOfDepth.size(); ++depth) firstOfDepth[depth] += firstOfDepth[depth - 1];
    for (std::uint32_t at = 0; at < nodes_.size(); ++at) byDepth[firstOfDepth[nodes_[at].depth]++] = at;
    for (const std::uint32_t at : byDepth) {
        Node& node = nodes_[at];
        if (node.depth <= 1) continue;  // the root and its children fall back to the root
        node.fallback = Step(nodes_[node.parent].fallback, node.byte);
        const Node& fallback = nodes_[node.fallback];
        node.nextMatch = fallback.id != npos ? node.fallback : fallback.nextMatch;
    }
}

std::uint32_t PatternSet::Child(std::uint32_t node, unsigned char byte) const {
    const auto edge = edges_.find(EdgeKey(node, byte));
    return edge == edges_.end() ? npos : edge->second;
}

std::uint32_t PatternSet::Step(std::uint32_t node, unsigned char byte) const {
    for (;;) {
        const std::uint32_t child = Child(node, byte);
        if (child != npos) return child;
        if (node == 0) return 0;
        node = nodes_[node].fallback;
    }
}

std::uint32_t PatternSet::IdOf(std::string_view pattern) const {
    std::uint32_t node = 0;
    for (const char c : pattern) {
        node = Child(node, static_cast<unsigned char>(c));
        if (node == npos) return npos;
    }
    return nodes_[node].id;
}

std::vector<std::uint32_t> PatternSet::FoundIn(std::string_view text, std::size_t most) {
    std::vector<std::uint32_t> ids;
    if (edges_.empty()) return ids;
    const std::uint32_t search = ++searches_;
    std::uint32_t node = 0;
    for (const char c : text) {
        node = Step(node, static_cast<unsigned char>(c));
        for (std::uint32_t match = nodes_[node].id != npos ? node : nodes_[node].nextMatch;
             match != 0 && nodes_[match].lastFoundIn != search; match = nodes_[match].nextMatch) {
            nodes_[match].lastFoundIn = search;
            ids.push_back(nodes_[match].id);
            if (ids.size() > most) return ids;
        }
    }
    return ids;
}

}  // namespace linkscope
