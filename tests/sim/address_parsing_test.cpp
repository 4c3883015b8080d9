#include "platform/sim/address_parsing.h"

#include <gtest/gtest.h>

namespace linkscope::sim {
namespace {

TEST(AddressParsingTest, ReadsIpv6FormsAndRefusesMalformedOnes) {
    struct Case {
        const char* text;
        Ipv6Bytes bytes;
    };
    const Case cases[] = {
        {"fe80::21a:2bff:fe3c:4d5e", {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0x02, 0x1A, 0x2B, 0xFF, 0xFE, 0x3C, 0x4D, 0x5E}},
        {"::", {}},
        {"::1", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}},
        {"2001:db8::", {0x20, 0x01, 0x0D, 0xB8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"1:2:3:4:5:6:7:8", {0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0, 8}},
        {"1:2:3::5:6:7:8", {0, 1, 0, 2, 0, 3, 0, 0, 0, 5, 0, 6, 0, 7, 0, 8}},
        {"::ffff:10.0.0.5", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 10, 0, 0, 5}},
        {"FE80:0:0:0:0:0:0:A", {0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0A}},
    };
    for (const Case& c : cases) {
        const auto bytes = ParseIpv6(c.text);
        ASSERT_TRUE(bytes.has_value()) << c.text;
        EXPECT_EQ(*bytes, c.bytes) << c.text;
    }
    for (const char* text : {"", ":", ":::", "1::2::3", "1:2:3:4:5:6:7", "1:2:3:4:5:6:7:8:9", "1:2:3:4::5:6:7:8",
                             "12345::", "fe80::g", ":1:2:3:4:5:6:7", "1:2:3:4:5:6:7:", "fe80::1%11",
                             "10.0.0.5::", "::10.0.0.256", "1::2:"}) {
        EXPECT_FALSE(ParseIpv6(text).has_value()) << text;
    }
}

TEST(AddressParsingTest, ReadsDottedAddressesStrictlyAndBuildsMasks) {
    EXPECT_EQ(ParseIpv4("10.0.0.255"), (Ipv4Bytes{10, 0, 0, 255}));
    EXPECT_EQ(FormatIpv4(*ParseIpv4("010.000.0.1")), "10.0.0.1");
    for (const char* text : {"", "10.0.0", "10.0.0.0.1", "10..0.1", "10.0.0.256", "10.0.0.1 ", "a.b.c.d", "1000.0.0.1"}) {
        EXPECT_FALSE(ParseIpv4(text).has_value()) << text;
    }
    EXPECT_EQ(MaskOfPrefix(0), (Ipv4Bytes{0, 0, 0, 0}));
    EXPECT_EQ(MaskOfPrefix(20), (Ipv4Bytes{255, 255, 240, 0}));
    EXPECT_EQ(MaskOfPrefix(32), (Ipv4Bytes{255, 255, 255, 255}));
}

TEST(AddressParsingTest, HexBytes) {
    using Bytes = std::vector<std::uint8_t>;
    EXPECT_EQ(ParseHexBytes(""), Bytes{});
    EXPECT_EQ(ParseHexBytes("00ff"), (Bytes{0x00, 0xFF}));
    EXPECT_EQ(ParseHexBytes("00-1A-2b"), (Bytes{0x00, 0x1A, 0x2B}));
    EXPECT_EQ(ParseHexBytes("00:1A"), (Bytes{0x00, 0x1A}));
    EXPECT_EQ(ParseHexBytes("de ad"), (Bytes{0xDE, 0xAD}));
    for (const char* text : {"0", "00f", "00-1A:2B", "00--1A", "00-1A-", "-00", "0x1A", "zz"}) {
        EXPECT_FALSE(ParseHexBytes(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace linkscope::sim
