// The flat indexes behind enumeration's first-match look-ups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collect/key_positions.h"
#include "platform/position_index.h"

namespace linkscope {
namespace {

struct TextAt {
    const std::vector<std::string>* texts;
    std::string_view operator()(std::size_t at) const { return (*texts)[at]; }
};

// Enough keys to make the table grow several times; every fifth key comes
// back, and the first position of a key must win.
TEST(PositionIndex, KeepsTheFirstPositionOfEachKeyAcrossGrowth) {
    std::vector<std::string> texts;
    const TextAt textAt{&texts};
    PositionIndex index;
    for (std::size_t i = 0; i < 3000; ++i) {
        texts.push_back("key-" + std::to_string(i % 5 == 4 ? i - 4 : i));
        const auto [position, added] = index.Emplace(texts.back(), i, textAt);
        EXPECT_EQ(added, i % 5 != 4);
        EXPECT_EQ(position, i % 5 == 4 ? i - 4 : i);
    }
    for (std::size_t i = 0; i < 3000; i += 5) EXPECT_EQ(index.Find("key-" + std::to_string(i), textAt), i);
    EXPECT_EQ(index.Find("key-4", textAt), PositionIndex::npos);
    EXPECT_EQ(index.Find("", textAt), PositionIndex::npos);
}

TEST(KeyPositions, KeepsPositionsInOrderThroughAddsAndRemoves) {
    KeyPositions positions;
    for (const std::size_t position : {7u, 2u, 9u, 2u}) positions.Add("mac", position);
    positions.Remove("mac", 9);
    positions.Remove("mac", 4);  // not there: no change
    positions.Remove("other", 2);
    ASSERT_NE(positions.Find("mac"), nullptr);
    EXPECT_EQ(std::vector<std::size_t>(positions.Find("mac")->begin(), positions.Find("mac")->end()),
              (std::vector<std::size_t>{2, 2, 7}));
    positions.Remove("mac", 2);
    positions.Remove("mac", 2);
    positions.Remove("mac", 7);
    ASSERT_NE(positions.Find("mac"), nullptr);  // an emptied key keeps its place
    EXPECT_TRUE(positions.Find("mac")->empty());
    EXPECT_EQ(positions.Find("MAC"), nullptr);
}

}  // namespace
}  // namespace linkscope
