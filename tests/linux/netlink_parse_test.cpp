// Dump replies built byte by byte, read into records.
#include <gtest/gtest.h>

#include "linux/netlink_bytes.h"
#include "platform/linux/netlink_parse.h"

namespace linkscope::live {
namespace {

using namespace testing;

Bytes V4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) { return {a, b, c, d}; }

Bytes EthernetLink(std::int32_t index, const std::string& name) {
    return Message(kNewLink, LinkHeader(index, 1, 0x11043),
                   Join({TextAttr(kLinkName, name), U32Attr(kLinkMtu, 1500),
                         Attr(kLinkAddress, {0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(index)})}));
}

TEST(NetlinkParse, LinkMessageGivesEveryFieldTheViewsRead) {
    const Bytes info = Attr(kLinkInfo | kNestedFlag, TextAttr(kLinkInfoKind, "veth"));
    const Bytes message = Message(
        kNewLink, LinkHeader(7, 1, 0x11043),
        Join({TextAttr(kLinkName, "v0"), Attr(kLinkAddress, {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}),
              U32Attr(kLinkMtu, 9000), Attr(kLinkOperState, {6}), info,
              TextAttr(kLinkParentDevice, "0000:00:03.0")}));

    const auto links = ParseLinkDump({Join({message, Done()})});

    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].index, 7u);
    EXPECT_EQ(links[0].name, "v0");
    EXPECT_EQ(links[0].hardwareType, 1);
    EXPECT_EQ(links[0].flags, 0x11043u);
    EXPECT_EQ(links[0].mtu, 9000u);
    EXPECT_EQ(links[0].operState, OperState::kUp);
    EXPECT_EQ(links[0].address, (Bytes{0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}));
    EXPECT_EQ(links[0].kind, "veth");
    EXPECT_EQ(links[0].parentDevice, "0000:00:03.0");
}

TEST(NetlinkParse, EachParserTakesOnlyItsMessagesAcrossDatagrams) {
    const Bytes address = Message(kNewAddress, AddressHeader(2, 24, 0x80, 2), Attr(kAddrAddress, V4(10, 0, 0, 1)));
    const std::vector<Datagram> reply = {Join({EthernetLink(1, "a"), address}), Join({EthernetLink(2, "b"), Done()})};

    const auto links = ParseLinkDump(reply);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].name, "a");
    EXPECT_EQ(links[1].name, "b");
    EXPECT_EQ(ParseAddressDump(reply).size(), 1u);
    EXPECT_TRUE(ParseRouteDump(reply).empty());
}

TEST(NetlinkParse, MalformedLengthsNeverReadPastTheirBounds) {
    // An attribute claiming more bytes than its message holds ends the
    // attribute walk; what came before it is kept.
    Bytes overlong = Message(kNewLink, LinkHeader(3, 1, 0), Join({TextAttr(kLinkName, "ok"), U32Attr(kLinkMtu, 1)}));
    overlong[overlong.size() - 8] = 0xFF;  // the MTU attribute's length
    const auto kept = ParseLinkDump({overlong});
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].name, "ok");
    EXPECT_EQ(kept[0].mtu, 0u);

    // A message claiming more bytes than its datagram ends that datagram's walk.
    Bytes cut = EthernetLink(4, "cut");
    cut.resize(cut.size() - 4);
    EXPECT_TRUE(ParseLinkDump({cut}).empty());

    // A message too short for its fixed header yields no record.
    EXPECT_TRUE(ParseLinkDump({Message(kNewLink, Bytes(8, 0), {})}).empty());

    // A name without its terminating NUL ends with its attribute.
    const Bytes unterminated = Message(kNewLink, LinkHeader(5, 1, 0), Attr(kLinkName, {'e', 't', 'h', '1'}));
    EXPECT_EQ(ParseLinkDump({unterminated}).at(0).name, "eth1");
}

TEST(NetlinkParse, AddressesTakeTheLocalSideAndTheWideFlags) {
    const Bytes pointToPoint =
        Message(kNewAddress, AddressHeader(2, 32, 0x80, 3),
                Join({Attr(kAddrAddress, V4(10, 9, 9, 9)), Attr(kAddrLocal, V4(10, 0, 0, 1))}));
    const Bytes ipv6(Message(kNewAddress, AddressHeader(10, 64, 0, 3),
                             Join({Attr(kAddrAddress, Bytes(16, 0xFD)), U32Attr(kAddrFlags, 0x280)})));

    const auto addresses = ParseAddressDump({Join({pointToPoint, ipv6, Done()})});

    ASSERT_EQ(addresses.size(), 2u);
    EXPECT_EQ(addresses[0].family, 2);
    EXPECT_EQ(addresses[0].index, 3u);
    EXPECT_EQ(addresses[0].prefixLength, 32);
    EXPECT_EQ(addresses[0].local, V4(10, 0, 0, 1)) << "the local address, not the peer";
    EXPECT_EQ(addresses[0].flags, 0x80u);
    EXPECT_EQ(addresses[1].local, Bytes(16, 0xFD));
    EXPECT_EQ(addresses[1].flags, 0x280u) << "the 32-bit flags attribute wins over the header's 8 bits";
}

TEST(NetlinkParse, RoutesKeepTableAndEveryHop) {
    const Bytes single = Message(kNewRoute, RouteHeader(2, 0, 254, 1),
                                 Join({U32Attr(kRouteTable, 254), Attr(kRouteGateway, V4(10, 0, 0, 254)),
                                       U32Attr(kRouteOif, 2)}));
    const Bytes hops = Join({NextHopBytes(3, Attr(kRouteGateway, V4(10, 3, 0, 1))),
                             NextHopBytes(4, Attr(kRouteGateway, V4(10, 4, 0, 1)))});
    const Bytes multipath = Message(kNewRoute, RouteHeader(2, 0, 252, 1),
                                    Join({U32Attr(kRouteTable, 1000), Attr(kRouteMultipath, hops)}));
    const Bytes ipv6 = Message(kNewRoute, RouteHeader(10, 0, 254, 1), U32Attr(kRouteOif, 2));

    const auto routes = ParseRouteDump({Join({single, multipath, ipv6, Done()})});

    ASSERT_EQ(routes.size(), 2u) << "IPv6 routes are passed over";
    EXPECT_EQ(routes[0].table, 254u);
    EXPECT_EQ(routes[0].type, 1);
    EXPECT_EQ(routes[0].destinationLength, 0);
    ASSERT_EQ(routes[0].hops.size(), 1u);
    EXPECT_EQ(routes[0].hops[0].interfaceIndex, 2u);
    EXPECT_EQ(routes[0].hops[0].gateway, V4(10, 0, 0, 254));
    EXPECT_EQ(routes[1].table, 1000u) << "the table attribute holds tables past 255";
    ASSERT_EQ(routes[1].hops.size(), 2u);
    EXPECT_EQ(routes[1].hops[1].interfaceIndex, 4u);
    EXPECT_EQ(routes[1].hops[1].gateway, V4(10, 4, 0, 1));
}

TEST(NetlinkParse, DumpProgressTellsTheEndAndItsError) {
    Bytes errorPayload;
    Put<std::int32_t>(errorPayload, -13);  // EACCES
    errorPayload.resize(errorPayload.size() + 16, 0);  // the request's header follows
    struct Case {
        const char* name;
        Bytes datagram;
        bool finished;
        int error;
        bool interrupted;
    };
    const Case cases[] = {
        {"records only", EthernetLink(1, "a"), false, 0, false},
        {"done", Join({EthernetLink(1, "a"), Done()}), true, 0, false},
        {"done with an error", Done(-16), true, 16, false},
        {"error message", Message(kError, errorPayload, {}), true, 13, false},
        {"interrupted", Message(kNewLink, LinkHeader(1, 1, 0), {}, kDumpInterrupted), false, 0, true},
        {"empty", Bytes{}, false, 0, false},
    };
    for (const Case& c : cases) {
        const DumpProgress progress = InspectDumpDatagram(c.datagram);
        EXPECT_EQ(progress.finished, c.finished) << c.name;
        EXPECT_EQ(progress.error, c.error) << c.name;
        EXPECT_EQ(progress.interrupted, c.interrupted) << c.name;
    }
}

}  // namespace
}  // namespace linkscope::live
