// The calling conventions of the buffer-filling IP Helper calls, driven
// with scripted calls in place of the system's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/buffer_calls.h"

namespace linkscope::win32 {
namespace {

using Script = std::vector<std::pair<platform::ResultCode, ULONG>>;  // (result, size reported) per call
constexpr platform::ResultCode overflow = platform::kBufferOverflow;

// A call that answers from a script and notes the size each call was
// given: "0" for no buffer; with `noteZeroed`, "+" after a size whose
// buffer was zeroed.
class ScriptedCall {
public:
    explicit ScriptedCall(Script script, bool noteZeroed = true) : script_(std::move(script)), noteZeroed_(noteZeroed) {}

    platform::ResultCode operator()(void* buffer, ULONG* size) {
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        const bool zeroed = noteZeroed_ && buffer && std::all_of(bytes, bytes + *size, [](auto b) { return b == 0; });
        seen.push_back(buffer ? std::to_string(*size) + (zeroed ? "+" : "") : "0");
        const auto [result, reported] = script_.at(seen.size() - 1);
        *size = reported;
        return result;
    }

    std::vector<std::string> seen;

private:
    Script script_;
    bool noteZeroed_;
};

TEST(CallTwice, RetriesOnlyOnItsOwnOverflowCodeAndTheSecondCallDecides) {
    const struct {
        const char* rule;
        ULONG initial;
        platform::ResultCode retryCode;
        Script script;
        platform::ResultCode result;
        std::vector<std::string> seen;
        std::size_t finalSize;
    } cases[] = {
        {"resized to the reported size", 704, overflow, {{overflow, 2000}, {0, 2000}}, 0, {"704+", "2000+"}, 2000},
        {"another call's code is not retried", 264, platform::kInsufficientBuffer, {{overflow, 5000}, {overflow, 5000}},
         overflow, {"264+", "264+"}, 264},
        {"a success is followed by a second call", 64, overflow, {{0, 64}, {platform::kInvalidParameter, 64}},
         platform::kInvalidParameter, {"64+", "64+"}, 64},
        {"no third call", 600, overflow, {{overflow, 700}, {overflow, 900}}, overflow, {"600+", "700+"}, 700},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rule);
        GlobalBlock block(c.initial);
        ScriptedCall call(c.script);
        EXPECT_EQ(CallTwice(block, c.retryCode, std::ref(call)), c.result);
        EXPECT_EQ(call.seen, c.seen);
        EXPECT_EQ(block.Size(), c.finalSize);
    }
}

TEST(CallGrowing, StartsWithoutABufferAndGrowsToEachReportedSizeAtMostFiveCalls) {
    const struct {
        Script script;
        platform::ResultCode result;
        std::vector<std::string> seen;
    } cases[] = {
        {{{overflow, 100}, {overflow, 300}, {0, 300}}, 0, {"0", "100", "300"}},
        {Script(6, {overflow, 64}), overflow, {"0", "64", "64", "64", "64"}},
        {{{9852, 0}}, 9852, {"0"}},
    };
    for (const auto& c : cases) {
        MallocBlock block;
        ScriptedCall call(c.script, false);
        EXPECT_EQ(CallGrowing(block, 5, std::ref(call)), c.result);
        EXPECT_EQ(call.seen, c.seen);
    }
}

}  // namespace
}  // namespace linkscope::win32
