// The index of keys found within a text, against a plain walk of the list
// on random lists and texts: few letters, so that keys repeat, overlap and
// occur in one another, empty keys and texts among them, and identities
// shared by several items.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "provider/contained_keys.h"

namespace linkscope::testing {
namespace {

using provider::ContainedKeys;

struct Item {
    std::string key;
    std::uint32_t identity;
};

std::size_t WalkTake(const std::vector<Item>& items, const std::string& text, std::vector<std::uint32_t>& used) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (text.find(items[i].key) == std::string::npos) continue;
        if (std::find(used.begin(), used.end(), items[i].identity) != used.end()) continue;
        used.push_back(items[i].identity);
        return i;
    }
    return ContainedKeys::kNone;
}

TEST(ContainedKeys, AgreesWithAPlainWalkOfTheList) {
    std::mt19937 random(20261206);
    const auto text = [&](std::size_t maxLength, const char* letters) {
        std::string t(std::uniform_int_distribution<std::size_t>(0, maxLength)(random), ' ');
        const std::size_t count = std::char_traits<char>::length(letters);
        for (char& c : t) c = letters[std::uniform_int_distribution<std::size_t>(0, count - 1)(random)];
        return t;
    };
    std::size_t found = 0;
    for (int round = 0; round < 3000; ++round) {
        // Later rounds: longer keys and texts, and bytes beyond ASCII.
        const char* letters = round % 3 == 2 ? "a\xE9-" : "ab-";
        const std::size_t keyLength = round < 1500 ? 3 : 8;
        const std::size_t itemCount = std::uniform_int_distribution<std::size_t>(0, 30)(random);
        const std::uint32_t identities = std::uniform_int_distribution<std::uint32_t>(1, 30)(random);
        std::vector<Item> items;
        ContainedKeys index;
        for (std::size_t i = 0; i < itemCount; ++i) {
            items.push_back(Item{text(keyLength, letters), std::uniform_int_distribution<std::uint32_t>(0, identities - 1)(random)});
            index.Append(items.back().key, items.back().identity);
        }
        ContainedKeys::UsedList used = index.NewUsedList();
        std::vector<std::uint32_t> walkUsed;
        for (int search = 0; search < 20; ++search) {
            const std::string searched = text(2 * keyLength + 2, letters);
            SCOPED_TRACE("round " + std::to_string(round) + ", text '" + searched + "'");
            std::vector<std::uint32_t> noneUsed;
            ASSERT_EQ(index.FirstWithin(searched), WalkTake(items, searched, noneUsed));
            const std::size_t taken = WalkTake(items, searched, walkUsed);
            ASSERT_EQ(index.TakeFirstWithin(searched, used), taken);
            found += taken != ContainedKeys::kNone;
        }
    }
    EXPECT_GT(found, 10000u) << "the lists and texts hardly ever meet";
}

}  // namespace
}  // namespace linkscope::testing
