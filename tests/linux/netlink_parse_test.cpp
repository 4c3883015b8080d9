// Dump replies built byte by byte, read into records.
#include <gtest/gtest.h>

#include "linux/netlink_bytes.h"
#include "platform/linux/kernel_links_view.h"
#include "platform/linux/netlink_parse.h"
#include "support/platform_text.h"

namespace linkscope::live {
namespace {

using namespace testing;
using linkscope::testing::HexText;
using Texts = std::vector<std::string>;

std::string Text(const LinkRecord& l) {
    return std::to_string(l.index) + " " + l.name + " hw " + std::to_string(l.hardwareType) + " flags " +
           std::to_string(l.flags) + " mtu " + std::to_string(l.mtu) + " oper " +
           std::to_string(static_cast<int>(l.operState)) + " " + HexText(l.address) + " kind " + l.kind + " parent " +
           l.parentDevice;
}
std::string Text(const AddressRecord& a) {
    return "family " + std::to_string(a.family) + " #" + std::to_string(a.index) + "/" +
           std::to_string(a.prefixLength) + " flags " + std::to_string(a.flags) + " " +
           HexText(Bytes(a.local.begin(), a.local.end()), "");
}
std::string Text(const RouteRecord& r) {
    std::string text = "table " + std::to_string(r.table) + " type " + std::to_string(r.type) + " /" +
                       std::to_string(r.destinationLength);
    for (const NextHop& hop : r.hops) text += " via #" + std::to_string(hop.interfaceIndex) + " " + HexText(hop.gateway, "");
    return text;
}
std::string Text(const platform::KernelLink& l) {
    const char* states[] = {"-", "active", "backup"};
    const auto shown = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    return l.name + " kind " + shown(l.kind) + " master " + shown(l.master) + " " + shown(l.slaveKind) + " " +
           states[static_cast<int>(l.slaveState)] + " mode " + (l.bondMode ? std::to_string(*l.bondMode) : "-") +
           " vlan " + (l.vlanId ? std::to_string(*l.vlanId) : "-") + " " + std::to_string(l.vlanProtocol) + " on " +
           shown(l.parent);
}

template <class Record>
Texts Lines(const std::vector<Record>& records) {
    Texts lines;
    for (const Record& record : records) lines.push_back(Text(record));
    return lines;
}

Bytes V4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) { return {a, b, c, d}; }

Bytes EthernetLink(std::int32_t index, const std::string& name) {
    return Message(kNewLink, LinkHeader(index, 1, 0x11043),
                   Join({TextAttr(kLinkName, name), U32Attr(kLinkMtu, 1500),
                         Attr(kLinkAddress, {0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(index)})}));
}

TEST(NetlinkParse, LinksTakeOnlyTheirMessagesAcrossDatagramsWithEveryField) {
    const Bytes veth = Message(
        kNewLink, LinkHeader(7, 1, 0x11043),
        Join({TextAttr(kLinkName, "v0"), Attr(kLinkAddress, {0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}),
              U32Attr(kLinkMtu, 9000), Attr(kLinkOperState, {6}),
              Attr(kLinkInfo | kNestedFlag, TextAttr(kLinkInfoKind, "veth")), TextAttr(kLinkParentDevice, "0000:00:03.0")}));
    const Bytes address = Message(kNewAddress, AddressHeader(2, 24, 0x80, 2), Attr(kAddrAddress, V4(10, 0, 0, 1)));
    const std::vector<Datagram> reply = {Join({EthernetLink(1, "a"), address}), Join({veth, Done()})};

    EXPECT_EQ(Lines(ParseLinkDump(reply)),
              (Texts{"1 a hw 1 flags 69699 mtu 1500 oper 0 02:00:00:00:00:01 kind  parent ",
                     "7 v0 hw 1 flags 69699 mtu 9000 oper 6 AA:BB:CC:DD:EE:FF kind veth parent 0000:00:03.0"}));
    EXPECT_EQ(ParseAddressDump(reply).size(), 1u);
    EXPECT_TRUE(ParseRouteDump(reply).empty());
}

TEST(NetlinkParse, MalformedLengthsNeverReadPastTheirBounds) {
    // An attribute claiming more bytes than its message holds ends the
    // attribute walk; what came before it is kept.
    Bytes overlong = Message(kNewLink, LinkHeader(3, 1, 0), Join({TextAttr(kLinkName, "ok"), U32Attr(kLinkMtu, 1)}));
    overlong[overlong.size() - 8] = 0xFF;  // the MTU attribute's length
    EXPECT_EQ(Lines(ParseLinkDump({overlong})), Texts{"3 ok hw 1 flags 0 mtu 0 oper 0 - kind  parent "});

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

TEST(NetlinkParse, BondsSlavesAndVlansBecomeKernelLinksWithNamedMastersAndParents) {
    // eth2.20's parent is given as index 6; index 99 (another namespace)
    // names no interface.
    std::vector<Datagram> reply = BondScenarioDump();
    reply.push_back(KernelLink(10, "far.30", 5, 0,
                               Join({TextAttr(kLinkInfoKind, "vlan"),
                                     Attr(kLinkInfoData | kNestedFlag, Attr(kVlanId, Of(std::uint16_t{30})))}),
                               U32Attr(kLinkLower, 99)));
    EXPECT_EQ(Lines(KernelLinksOf(ParseLinkDump(reply))),
              (Texts{"eth0 kind - master bond0 bond active mode - vlan - 0 on -",
                     "eth1 kind - master bond0 bond backup mode - vlan - 0 on -",
                     "bond0 kind bond master - - - mode 1 vlan - 0 on -",
                     "bond0.10 kind vlan master - - - mode - vlan 10 33024 on bond0",
                     "eth2 kind - master - - - mode - vlan - 0 on -",
                     "eth2.20 kind vlan master - - - mode - vlan 20 34984 on eth2",
                     "br0 kind bridge master - - - mode - vlan - 0 on -",
                     "v0 kind veth master br0 bridge - mode - vlan - 0 on -",
                     "far.30 kind vlan master - - - mode - vlan 30 0 on -"}));
}

TEST(NetlinkParse, ShortOrUnknownKindDataLeavesItsValuesAbsent) {
    const struct {
        const char* name;
        Bytes linkInfo;
        const char* expected;
    } cases[] = {
        {"mode attribute without bytes",
         Join({TextAttr(kLinkInfoKind, "bond"), Attr(kLinkInfoData | kNestedFlag, Attr(kBondMode, {}))}),
         "x kind bond master - - - mode - vlan - 0 on -"},
        {"one byte of a VLAN id",
         Join({TextAttr(kLinkInfoKind, "vlan"), Attr(kLinkInfoData | kNestedFlag, Attr(kVlanId, {7}))}),
         "x kind vlan master - - - mode - vlan - 0 on -"},
        {"data before its kind, overlong attribute after it",
         [] {
             const Bytes slaveKind = TextAttr(kLinkInfoSlaveKind, "bond");
             Bytes info = Join({Attr(kLinkInfoData | kNestedFlag, Attr(kBondMode, {4})),
                                TextAttr(kLinkInfoKind, "bond"), slaveKind});
             info[info.size() - slaveKind.size()] = 0xFF;  // its length
             return info;
         }(),
         "x kind bond master - - - mode 4 vlan - 0 on -"},
        {"slave state the mapping does not know",
         Join({TextAttr(kLinkInfoSlaveKind, "bond"),
               Attr(kLinkInfoSlaveData | kNestedFlag, Attr(kBondSlaveState, {7}))}),
         "x kind - master - bond - mode - vlan - 0 on -"},
        {"bond data under another kind", Join({TextAttr(kLinkInfoKind, "veth"),
                                               Attr(kLinkInfoData | kNestedFlag, Attr(kBondMode, {1}))}),
         "x kind veth master - - - mode - vlan - 0 on -"},
    };
    for (const auto& c : cases) {
        const auto links = KernelLinksOf(ParseLinkDump({KernelLink(1, "x", 1, 0, c.linkInfo)}));
        ASSERT_EQ(links.size(), 1u) << c.name;
        EXPECT_EQ(Text(links[0]), c.expected) << c.name;
    }
}

TEST(NetlinkParse, AddressesTakeTheLocalSideAndTheWideFlags) {
    const Bytes pointToPoint = Message(kNewAddress, AddressHeader(2, 32, 0x80, 3),
                                       Join({Attr(kAddrAddress, V4(10, 9, 9, 9)), Attr(kAddrLocal, V4(10, 0, 0, 1))}));
    const Bytes ipv6 = Message(kNewAddress, AddressHeader(10, 64, 0, 3),
                               Join({Attr(kAddrAddress, Bytes(16, 0xFD)), U32Attr(kAddrFlags, 0x280)}));

    // The local address, not the peer; the 32-bit flags attribute wins
    // over the header's 8 bits.
    EXPECT_EQ(Lines(ParseAddressDump({Join({pointToPoint, ipv6, Done()})})),
              (Texts{"family 2 #3/32 flags 128 0A000001", "family 10 #3/64 flags 640 FDFDFDFDFDFDFDFDFDFDFDFDFDFDFDFD"}));
}

TEST(NetlinkParse, RoutesKeepTableAndEveryHopAndPassOverIpv6) {
    const Bytes single = Message(kNewRoute, RouteHeader(2, 0, 254, 1),
                                 Join({U32Attr(kRouteTable, 254), Attr(kRouteGateway, V4(10, 0, 0, 254)),
                                       U32Attr(kRouteOif, 2)}));
    const Bytes hops = Join({NextHopBytes(3, Attr(kRouteGateway, V4(10, 3, 0, 1))),
                             NextHopBytes(4, Attr(kRouteGateway, V4(10, 4, 0, 1)))});
    // The table attribute holds tables past 255.
    const Bytes multipath = Message(kNewRoute, RouteHeader(2, 0, 252, 1),
                                    Join({U32Attr(kRouteTable, 1000), Attr(kRouteMultipath, hops)}));
    const Bytes ipv6 = Message(kNewRoute, RouteHeader(10, 0, 254, 1), U32Attr(kRouteOif, 2));

    EXPECT_EQ(Lines(ParseRouteDump({Join({single, multipath, ipv6, Done()})})),
              (Texts{"table 254 type 1 /0 via #2 0A0000FE", "table 1000 type 1 /0 via #3 0A030001 via #4 0A040001"}));
}

TEST(NetlinkParse, GenericNetlinkGivesTheFamilyIdAndEachInterfacesLinkModes) {
    constexpr std::uint16_t kController = 0x10, kFamilyId = 1, kFamilyName = 2, kEthtool = 21;
    constexpr std::uint8_t kLinkModesReply = 4;
    const auto command = [](std::uint8_t cmd) { return Of(cmd, std::uint8_t{1}, std::uint16_t{0}); };
    const Bytes family = Message(kController, command(1),
                                 Join({TextAttr(kFamilyName, "ethtool"), Attr(kFamilyId, Of(kEthtool))}));
    EXPECT_EQ(ParseFamilyId({family, Done()}), kEthtool);
    EXPECT_EQ(ParseFamilyId({Done(-2)}), 0) << "no such family";

    // Header (nested: index 1, name 2), speed 5, duplex 6. All ones is the
    // kernel's unknown speed; a header without an index names no interface.
    const auto modes = [&](std::uint32_t index, const Bytes& more) {
        return Message(kEthtool, command(kLinkModesReply),
                       Join({Attr(1 | kNestedFlag, Join({U32Attr(1, index), TextAttr(2, "x")})), more}));
    };
    const Bytes dump = Join({modes(7, Join({U32Attr(5, 10000), Attr(6, Of(std::uint8_t{1}))})),
                             modes(8, U32Attr(5, 0xFFFFFFFF)), modes(0, U32Attr(5, 100)),
                             Message(kEthtool, command(1), {})});
    Texts lines;
    for (const LinkModesRecord& r : ParseLinkModesDump({dump, Done()}, kEthtool)) {
        lines.push_back(std::to_string(r.index) + " " + (r.speedMbps ? std::to_string(*r.speedMbps) : "-") + " " +
                        std::to_string(r.duplex));
    }
    EXPECT_EQ(lines, (Texts{"7 10000 1", "8 - 255"}));
    EXPECT_TRUE(ParseLinkModesDump({dump}, 22).empty()) << "another family's messages";
}

TEST(NetlinkParse, DumpProgressTellsTheEndAndItsError) {
    Bytes errorPayload = Of(std::int32_t{-13});        // EACCES
    errorPayload.resize(errorPayload.size() + 16, 0);  // the request's header follows
    const struct {
        const char* name;
        Bytes datagram;
        bool finished;
        int error;
        bool interrupted;
    } cases[] = {
        {"records only", EthernetLink(1, "a"), false, 0, false},
        {"done", Join({EthernetLink(1, "a"), Done()}), true, 0, false},
        {"done with an error", Done(-16), true, 16, false},
        {"error message", Message(kError, errorPayload, {}), true, 13, false},
        {"interrupted", Message(kNewLink, LinkHeader(1, 1, 0), {}, kDumpInterrupted), false, 0, true},
        {"empty", Bytes{}, false, 0, false},
    };
    for (const auto& c : cases) {
        const DumpProgress progress = InspectDumpDatagram(c.datagram);
        EXPECT_EQ(progress.finished, c.finished) << c.name;
        EXPECT_EQ(progress.error, c.error) << c.name;
        EXPECT_EQ(progress.interrupted, c.interrupted) << c.name;
    }
}

}  // namespace
}  // namespace linkscope::live
