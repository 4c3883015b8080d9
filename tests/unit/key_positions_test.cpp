// The positions of one key in a list, kept in order. (The flat index
// beneath is exercised by the enumeration, registry and finder tests.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "collect/key_positions.h"

namespace linkscope {
namespace {

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
