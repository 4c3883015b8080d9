// Which of a fixed set of texts occur inside a given text, found in one
// pass over it (an Aho-Corasick automaton), however many patterns the set
// holds.
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
    // The ids of the patterns occurring in `text`, each once, or the first
    // `most` + 1 of them when more occur. A pattern found again ends the
    // walk over the shorter ones it contains, which were found with it, so
    // the cost is the text's length plus the patterns found, not their
    // occurrences.
    std::vector<std::uint32_t> FoundIn(std::string_view text, std::size_t most);

private:
    struct Node {
        std::uint32_t parent = 0;
        std::uint32_t fallback = 0;  // the node of the longest proper suffix in the trie
        std::uint32_t nextMatch = 0;  // the nearest fallback that ends a pattern; 0: none
        std::uint32_t id = npos;      // of the pattern ending here
        std::uint32_t depth = 0;
        std::uint32_t lastFoundIn = 0;  // the search that last reported this node's pattern
        unsigned char byte = 0;         // on the edge from the parent
    };

    std::uint32_t Child(std::uint32_t node, unsigned char byte) const;
    // The node reached from `node` by `byte`, falling back as far as needed.
    std::uint32_t Step(std::uint32_t node, unsigned char byte) const;
    static std::uint64_t EdgeKey(std::uint32_t node, unsigned char byte) { return std::uint64_t{node} << 8 | byte; }

    std::vector<Node> nodes_{Node()};  // node 0: the root, the empty text
    std::unordered_map<std::uint64_t, std::uint32_t> edges_;
    std::uint32_t searches_ = 0;
};

}  // namespace linkscope
