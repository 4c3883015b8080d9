// Kernel facts read as interface types, operational states, descriptions
// and speed and duplex settings.
#include <gtest/gtest.h>

#include "linux/snapshot_builders.h"
#include "platform/linux/interface_codes.h"

namespace linkscope::live {
namespace {

using namespace testing;

TEST(InterfaceCodes, HardwareTypeGivesTheInterfaceType) {
    struct Case {
        std::uint16_t hardwareType;
        bool wireless;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {1, false, 6},       // Ethernet
        {1, true, 71},       // Ethernet framing over a wireless device
        {772, false, 24},    // loopback
        {512, false, 23},    // PPP
        {801, false, 71},    // 802.11
        {768, false, 131},   // IPIP
        {776, false, 131},   // SIT
        {778, false, 131},   // GRE
        {823, false, 131},   // IP6GRE
        {0xFFFE, false, 131},  // tun, WireGuard
        {32, false, 1},      // InfiniBand
        {0xFFFF, false, 1},  // void
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InterfaceTypeOf(c.hardwareType, c.wireless), c.expected) << c.hardwareType;
    }
}

TEST(InterfaceCodes, OperationalStateMapsToStatusCodes) {
    struct Case {
        OperState state;
        std::uint32_t flags;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {OperState::kUp, kFlagUp, 5},
        {OperState::kDormant, kFlagUp, 3},
        {OperState::kDown, kFlagUp, 2},
        {OperState::kLowerLayerDown, kFlagUp, 1},
        {OperState::kNotPresent, kFlagUp, 0},
        {OperState::kTesting, kFlagUp, 0},
        {OperState::kUnknown, kUpWithCarrier, 5},
        {OperState::kUnknown, kFlagUp, 0},
        {static_cast<OperState>(42), kUpWithCarrier, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OperStatusOf(c.state, c.flags), c.expected) << static_cast<int>(c.state) << " flags " << c.flags;
    }
}

TEST(InterfaceCodes, DescriptionPrefersLabelThenDriverThenName) {
    const LinkRecord link = Link(2, "enp0s3");
    DeviceDetails labelled = Driver("e1000e");
    labelled.label = "Onboard LAN";
    EXPECT_EQ(DescriptionOf(link, &labelled), "Onboard LAN");
    const DeviceDetails driverOnly = Driver("e1000e");
    EXPECT_EQ(DescriptionOf(link, &driverOnly), "e1000e");
    const DeviceDetails nothing;
    EXPECT_EQ(DescriptionOf(link, &nothing), "enp0s3");
    EXPECT_EQ(DescriptionOf(link, nullptr), "enp0s3");
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
        {100000, kDuplexHalf, "1000000", "100Gbps Half"},
        {12500, kDuplexFull, "125001", "12500Mbps Full"},
        {25000, kDuplexUnknown, "250002", "25Gbps"},
        {std::nullopt, kDuplexFull, nullptr, nullptr},
        {300'000'000, kDuplexFull, nullptr, nullptr},
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
