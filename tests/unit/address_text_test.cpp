// Text forms of masks, hardware addresses and IPv6 addresses.
#include <gtest/gtest.h>

#include "collect/address_text.h"
#include "collect/network_adapter.h"

namespace linkscope {
namespace {

TEST(MaskToPrefixLength, CountsTheLastNonZeroOctet) {
    const std::pair<const char*, const char*> cases[] = {
        {"255.255.255.0", "24"},   {"255.255.255.255", "32"}, {"255.255.255.128", "25"},
        {"0.0.0.0", "0"},          {"255.0.0.0", "8"},         {"255.255.240.0", "20"},
        // Odd masks: only the last non-zero octet's bits count.
        {"255.0.255.0", "24"},     {"0.0.0.255", "32"},       {"255.255.255.1", "25"},
        // No dot at all: three octets are counted before the one read.
        {"", "24"},                {"255", "32"},             {"garbage", "24"},
        {"255.255.255.256", "24"}, {"1.2.3.4.5", "26"},
    };
    for (const auto& [mask, prefix] : cases) {
        EXPECT_EQ(NetworkAdapter::MaskToPrefixLength(mask), prefix) << mask;
    }
}

TEST(HardwareAddressText, BareAndColonFormsOfAnyLength) {
    EXPECT_EQ(BareHardwareAddress({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}), "001A2B3C4D5E");
    EXPECT_EQ(ColonHardwareAddress({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}), "00:1A:2B:3C:4D:5E");
    EXPECT_EQ(BareHardwareAddress({0xab, 0x01}), "AB01");
    EXPECT_EQ(ColonHardwareAddress({0xab, 0x01}), "AB:01");
    EXPECT_EQ(BareHardwareAddress({}), "00") << "the first byte is always written";
    EXPECT_EQ(ColonHardwareAddress({}), "00");
}

TEST(Ipv6Text, WritesEveryGroupWithTheZeroDigitRule) {
    const std::array<std::uint8_t, 16> linkLocal = {0xfe, 0x80, 0, 0, 0, 0, 0, 0,
                                                    0x02, 0x1a, 0x2b, 0xff, 0xfe, 0x3c, 0x4d, 0x5e};
    EXPECT_EQ(Ipv6Text(linkLocal), "FE80:00:00:00:21A:2BFF:FE3C:4D5E");
    const std::array<std::uint8_t, 16> groups = {0x20, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x0a,
                                                 0x12, 0x34, 0x00, 0xff, 0xff, 0x0f, 0x00, 0x01};
    EXPECT_EQ(Ipv6Text(groups), "2001:100:00:0A:1234:0FF:FF0F:01");
}

}  // namespace
}  // namespace linkscope
