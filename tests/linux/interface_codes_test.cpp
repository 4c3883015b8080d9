// The rules of interface codes that are more than a lookup: the carrier
// deciding an unknown operational state, and the speed and duplex setting.
#include <gtest/gtest.h>

#include "linux/snapshot_builders.h"
#include "platform/linux/interface_codes.h"

namespace linkscope::live {
namespace {

using namespace testing;

TEST(InterfaceCodes, UnknownOperationalStateFollowsTheCarrier) {
    EXPECT_EQ(OperStatusOf(OperState::kUnknown, kUpWithCarrier), 5u);
    EXPECT_EQ(OperStatusOf(OperState::kUnknown, kFlagUp), 0u);
    EXPECT_EQ(OperStatusOf(OperState::kLowerLayerDown, kUpWithCarrier), 1u);
    EXPECT_EQ(OperStatusOf(static_cast<OperState>(42), kUpWithCarrier), 0u) << "a state this code does not know";
    EXPECT_EQ(InterfaceTypeOf(kHwEther, true), 71u) << "Ethernet framing on a wireless device";
}

TEST(InterfaceCodes, SpeedAndDuplexBecomeOneSetting) {
    struct Case {
        std::optional<std::uint32_t> speed;
        std::uint8_t duplex;
        const char* code;  // null: no setting
        const char* text;
    };
    const Case cases[] = {
        {1000, kDuplexFull, "10001", "1000Mbps Full"},
        {10, kDuplexHalf, "100", "10Mbps Half"},
        {2500, kDuplexFull, "25001", "2500Mbps Full"},
        {10000, kDuplexFull, "100001", "10Gbps Full"},
        {12500, kDuplexFull, "125001", "12500Mbps Full"},
        {25000, kDuplexUnknown, "250002", "25Gbps"},
        {std::nullopt, kDuplexFull, nullptr, nullptr},
        {300'000'000, kDuplexFull, nullptr, nullptr},  // its code would not fit the reader's integer
    };
    for (const Case& c : cases) {
        const auto setting = SpeedDuplexOf(Driver("x", c.speed, c.duplex));
        if (c.code == nullptr) {
            EXPECT_FALSE(setting.has_value()) << c.speed.value_or(0);
            continue;
        }
        ASSERT_TRUE(setting.has_value()) << *c.speed;
        EXPECT_EQ(setting->code, c.code);
        EXPECT_EQ(setting->text, c.text);
    }
}

}  // namespace
}  // namespace linkscope::live
