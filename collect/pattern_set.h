// Which of a fixed set of texts occur inside a given text, found in one
// pass over it (an Aho-Corasick automaton), however many patterns the set
// holds and however many of them occur.
//
// Pattern ids are numbered so that the patterns ending with a pattern (it
// included) hold the ids from its own up to EndOf(id). A text contains a
// pattern exactly when one of the longest patterns ending at its positions
// does, so those few ids stand for every pattern the text contains.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace linkscope {

class PatternSet {
public:
    static constexpr std::uint32_t npos = UINT32_MAX;

    PatternSet() = default;
    // Empty patterns are left out; equal patterns share one id.
    explicit PatternSet(const std::vector<std::string_view>& patterns);

    // The id of `pattern`, or npos when it is not in the set.
    std::uint32_t IdOf(std::string_view pattern) const;
    // How many ids there are.
    std::uint32_t Size() const { return static_cast<std::uint32_t>(ends_.size()); }
    // One past the last id of a pattern ending with pattern `id`.
    std::uint32_t EndOf(std::uint32_t id) const { return ends_[id]; }
    // For each position of `text`, the id of the longest pattern ending
    // there, in ascending order, each once, leaving out any that another
    // of them ends with. `text` contains pattern p exactly when one of
    // these lies in [p, EndOf(p)).
    std::vector<std::uint32_t> LongestEndingIn(std::string_view text) const;

private:
    struct Node {
        std::uint32_t parent = 0;
        std::uint32_t fallback = 0;  // the node of the longest proper suffix in the trie
        std::uint32_t nextMatch = 0;  // the nearest fallback that ends a pattern; 0: none
        std::uint32_t id = npos;      // of the pattern ending here
        std::uint32_t depth = 0;
        unsigned char byte = 0;  // on the edge from the parent
    };

    // Numbers the patterns in depth-first order of the tree in which each
    // pattern's parent is the longest pattern it ends with.
    void NumberBySuffix();

    std::uint32_t Child(std::uint32_t node, unsigned char byte) const;
    // The node reached from `node` by `byte`, falling back as far as needed.
    std::uint32_t Step(std::uint32_t node, unsigned char byte) const;
    static std::uint64_t EdgeKey(std::uint32_t node, unsigned char byte) { return std::uint64_t{node} << 8 | byte; }

    std::vector<Node> nodes_{Node()};  // node 0: the root, the empty text
    std::unordered_map<std::uint64_t, std::uint32_t> edges_;
    std::vector<std::uint32_t> ends_;  // by id
};

}  // namespace linkscope
