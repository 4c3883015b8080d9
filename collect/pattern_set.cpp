#include "collect/pattern_set.h"

#include <algorithm>
#include <utility>

namespace linkscope {

PatternSet::PatternSet(const std::vector<std::string_view>& patterns) {
    std::uint32_t maxDepth = 0;
    for (std::string_view pattern : patterns) {
        if (pattern.empty()) continue;
        std::uint32_t node = 0;
        for (const char c : pattern) {
            const auto byte = static_cast<unsigned char>(c);
            const auto [edge, added] =
                edges_.try_emplace(EdgeKey(node, byte), static_cast<std::uint32_t>(nodes_.size()));
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
        nodes_[node].id = 0;  // numbered once the tree is known
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
    NumberBySuffix();
}

void PatternSet::NumberBySuffix() {
    // Each pattern node's children, grouped by parent (the root, 0, parents
    // the patterns that end with no other).
    std::vector<std::uint32_t> firstChild(nodes_.size() + 1, 0);
    for (const Node& node : nodes_) {
        if (node.id != npos) ++firstChild[node.nextMatch + 1];
    }
    for (std::size_t at = 1; at < firstChild.size(); ++at) firstChild[at] += firstChild[at - 1];
    std::vector<std::uint32_t> children(firstChild.back());
    std::vector<std::uint32_t> filled(firstChild.begin(), firstChild.end() - 1);
    for (std::uint32_t at = 0; at < nodes_.size(); ++at) {
        if (nodes_[at].id != npos) children[filled[nodes_[at].nextMatch]++] = at;
    }

    // Depth first without recursion: a node is numbered when it is first
    // reached and its end is set when it is reached again after its subtree.
    ends_.assign(children.size(), 0);
    std::uint32_t nextId = 0;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> stack;  // node, its next child to visit
    stack.emplace_back(0, firstChild[0]);
    while (!stack.empty()) {
        auto& [node, next] = stack.back();
        if (next == firstChild[node + 1]) {
            if (node != 0) ends_[nodes_[node].id] = nextId;
            stack.pop_back();
            continue;
        }
        const std::uint32_t child = children[next++];
        nodes_[child].id = nextId++;
        stack.emplace_back(child, firstChild[child]);
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

std::vector<std::uint32_t> PatternSet::LongestEndingIn(std::string_view text) const {
    std::vector<std::uint32_t> ids;
    if (edges_.empty()) return ids;
    std::uint32_t node = 0;
    for (const char c : text) {
        node = Step(node, static_cast<unsigned char>(c));
        const std::uint32_t match = nodes_[node].id != npos ? node : nodes_[node].nextMatch;
        if (match != 0 && (ids.empty() || ids.back() != nodes_[match].id)) ids.push_back(nodes_[match].id);
    }
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    // A pattern that the next one ends with adds nothing: whatever it
    // stands for, the next stands for too.
    std::size_t kept = 0;
    for (std::size_t at = 0; at < ids.size(); ++at) {
        if (at + 1 == ids.size() || ids[at + 1] >= ends_[ids[at]]) ids[kept++] = ids[at];
    }
    ids.resize(kept);
    return ids;
}

}  // namespace linkscope
