// The flat index behind enumeration's first-match look-ups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace linkscope
