// The calling conventions of the buffer-filling IP Helper calls, driven
// with scripted calls in place of the system's.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/win32/buffer_calls.h"

namespace linkscope::win32 {
namespace {

// One call as the callee saw it.
struct Seen {
    bool hadBuffer;
    ULONG size;
    bool zeroed;
};

// A call that answers from a script: each entry is (result, size reported).
class ScriptedCall {
public:
    explicit ScriptedCall(std::vector<std::pair<platform::ResultCode, ULONG>> script) : script_(std::move(script)) {}

    platform::ResultCode operator()(void* buffer, ULONG* size) {
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        seen.push_back({buffer != nullptr, *size, buffer && std::all_of(bytes, bytes + *size, [](auto b) { return b == 0; })});
        const auto [result, reported] = script_.at(seen.size() - 1);
        *size = reported;
        return result;
    }

    std::vector<Seen> seen;

private:
    std::vector<std::pair<platform::ResultCode, ULONG>> script_;
};

TEST(CallTwice, ResizesToTheReportedSizeOnItsOwnOverflowCodeAndTheSecondCallDecides) {
    GlobalBlock block(704);
    ScriptedCall call({{platform::kBufferOverflow, 2000}, {platform::kSuccess, 2000}});
    EXPECT_EQ(CallTwice(block, platform::kBufferOverflow, std::ref(call)), platform::kSuccess);
    ASSERT_EQ(call.seen.size(), 2u);
    EXPECT_EQ(call.seen[0].size, 704u);
    EXPECT_EQ(call.seen[1].size, 2000u);
    EXPECT_TRUE(call.seen[1].zeroed);
    EXPECT_EQ(block.Size(), 2000u);
}

TEST(CallTwice, AnotherCallsOverflowCodeIsNotRetriedButTheSecondCallIsStillMade) {
    GlobalBlock block(264);
    ScriptedCall call({{platform::kBufferOverflow, 5000}, {platform::kBufferOverflow, 5000}});
    EXPECT_EQ(CallTwice(block, platform::kInsufficientBuffer, std::ref(call)), platform::kBufferOverflow);
    ASSERT_EQ(call.seen.size(), 2u);
    EXPECT_EQ(call.seen[1].size, 264u);
    EXPECT_EQ(block.Size(), 264u);
}

TEST(CallTwice, ASuccessfulFirstCallIsFollowedByASecondWhoseFailureCounts) {
    GlobalBlock block(64);
    ScriptedCall call({{platform::kSuccess, 64}, {platform::kInvalidParameter, 64}});
    EXPECT_EQ(CallTwice(block, platform::kBufferOverflow, std::ref(call)), platform::kInvalidParameter);
    EXPECT_EQ(call.seen.size(), 2u);
}

TEST(CallTwice, AnOverflowOnTheSecondCallIsNotRetriedAgain) {
    GlobalBlock block(600);
    ScriptedCall call({{platform::kBufferOverflow, 700}, {platform::kBufferOverflow, 900}});
    EXPECT_EQ(CallTwice(block, platform::kBufferOverflow, std::ref(call)), platform::kBufferOverflow);
    EXPECT_EQ(call.seen.size(), 2u);
}

TEST(CallGrowing, StartsWithoutABufferAndGrowsToEachReportedSize) {
    MallocBlock block;
    ScriptedCall call({{platform::kBufferOverflow, 100}, {platform::kBufferOverflow, 300}, {platform::kSuccess, 300}});
    EXPECT_EQ(CallGrowing(block, 5, std::ref(call)), platform::kSuccess);
    ASSERT_EQ(call.seen.size(), 3u);
    EXPECT_FALSE(call.seen[0].hadBuffer);
    EXPECT_EQ(call.seen[0].size, 0u);
    EXPECT_EQ(call.seen[1].size, 100u);
    EXPECT_EQ(call.seen[2].size, 300u);
    EXPECT_EQ(block.Size(), 300u);
}

TEST(CallGrowing, GivesUpAfterFiveCallsWithTheLastOverflow) {
    MallocBlock block;
    ScriptedCall call(std::vector<std::pair<platform::ResultCode, ULONG>>(6, {platform::kBufferOverflow, 64}));
    EXPECT_EQ(CallGrowing(block, 5, std::ref(call)), platform::kBufferOverflow);
    EXPECT_EQ(call.seen.size(), 5u);
}

TEST(CallGrowing, AnyOtherResultEndsTheCallsAtOnce) {
    MallocBlock block;
    ScriptedCall call({{9852, 0}});
    EXPECT_EQ(CallGrowing(block, 5, std::ref(call)), 9852u);
    EXPECT_EQ(call.seen.size(), 1u);
}

}  // namespace
}  // namespace linkscope::win32
