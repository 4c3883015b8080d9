// Dump replies built byte by byte, as the kernel lays them out (host byte
// order, 4-byte alignment), read into records.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "platform/linux/kernel_links_view.h"
#include "platform/linux/netlink_parse.h"
#include "support/platform_text.h"

namespace linkscope::live {
namespace {

using namespace testing;
using linkscope::testing::HexText;
using Texts = std::vector<std::string>;
using Bytes = std::vector<std::uint8_t>;

// Message types, the dump-interrupted flag and attribute numbers of the
// kernel's interface.
constexpr std::uint16_t kDone = 3, kError = 2, kNewLink = 16, kNewAddress = 20, kNewRoute = 24;
constexpr std::uint16_t kDumpInterrupted = 0x10, kNestedFlag = 0x8000;
constexpr std::uint16_t kLinkAddress = 1, kLinkName = 3, kLinkMtu = 4, kLinkLower = 5, kLinkMaster = 10, kLinkInfo = 18;
constexpr std::uint16_t kLinkInfoKind = 1, kLinkInfoData = 2, kLinkInfoSlaveKind = 4, kLinkInfoSlaveData = 5,
                        kBondMode = 1, kBondSlaveState = 1, kBondSlaveOwnAddress = 4,
                        kVlanId = 1, kVlanProtocol = 5;
constexpr std::uint16_t kAddrAddress = 1, kAddrLocal = 2, kAddrFlags = 8;
constexpr std::uint16_t kRouteOif = 4, kRouteGateway = 5, kRouteMultipath = 9, kRouteTable = 15;

// Appends the bytes of each value in turn.
template <class... T>
void Put(Bytes& out, T... values) {
    auto put = [&out](auto value) {
        const std::size_t at = out.size();
        out.resize(at + sizeof value);
        std::memcpy(out.data() + at, &value, sizeof value);
    };
    (put(values), ...);
}

// The bytes of the values in turn.
template <class... T>
Bytes Of(T... values) {
    Bytes out;
    Put(out, values...);
    return out;
}

void Pad(Bytes& out) { out.resize((out.size() + 3) & ~std::size_t{3}, 0); }

Bytes Join(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes Attr(std::uint16_t type, const Bytes& value) {
    Bytes out = Join({Of(static_cast<std::uint16_t>(4 + value.size()), type), value});
    Pad(out);
    return out;
}

Bytes TextAttr(std::uint16_t type, const std::string& text) {
    Bytes value(text.begin(), text.end());
    value.push_back(0);
    return Attr(type, value);
}

Bytes U32Attr(std::uint16_t type, std::uint32_t number) { return Attr(type, Of(number)); }

// nlmsghdr (sequence 1, port id 0), then the fixed header padded to 4
// bytes, then the attributes.
Bytes Message(std::uint16_t type, Bytes fixedHeader, const Bytes& attributes, std::uint16_t flags = 0) {
    Pad(fixedHeader);
    return Join({Of(static_cast<std::uint32_t>(16 + fixedHeader.size() + attributes.size()), type, flags,
                    std::uint32_t{1}, std::uint32_t{0}),
                 fixedHeader, attributes});
}

// struct ifinfomsg: family, padding, type, index, flags, change mask.
Bytes LinkHeader(std::int32_t index, std::uint16_t hardwareType, std::uint32_t flags) {
    return Of(std::uint8_t{0}, std::uint8_t{0}, hardwareType, index, flags, std::uint32_t{0});
}

// struct ifaddrmsg: family, prefix length, flags, scope, index.
Bytes AddressHeader(std::uint8_t family, std::uint8_t prefixLength, std::uint8_t flags, std::uint32_t index) {
    return Of(family, prefixLength, flags, std::uint8_t{0}, index);
}

// struct rtmsg: family, destination length, source length, tos, table,
// protocol (boot), scope, type, flags.
Bytes RouteHeader(std::uint8_t family, std::uint8_t destinationLength, std::uint8_t table, std::uint8_t type) {
    return Bytes{family, destinationLength, 0, 0, table, 3, 0, type, 0, 0, 0, 0};
}

// struct rtnexthop (length, flags, weight, interface) and its attributes.
Bytes NextHopBytes(std::int32_t interfaceIndex, const Bytes& attributes) {
    return Join({Of(static_cast<std::uint16_t>(8 + attributes.size()), std::uint8_t{0}, std::uint8_t{0}, interfaceIndex),
                 attributes});
}

// The closing message of a dump, carrying `status` (0 or a negative errno).
Bytes Done(std::int32_t status = 0) { return Message(kDone, Of(status), {}); }

// An up Ethernet interface with a hardware address ending in `macLast`,
// an optional master and link-information attributes.
Bytes KernelLink(std::int32_t index, const std::string& name, std::uint8_t macLast, std::uint32_t master,
                        const Bytes& linkInfo, const Bytes& more = {}) {
    Bytes attributes = Join({TextAttr(kLinkName, name), U32Attr(kLinkMtu, 1500),
                             Attr(kLinkAddress, {0x52, 0x54, 0x00, 0x0A, 0x00, macLast}), more});
    if (master != 0) attributes = Join({attributes, U32Attr(kLinkMaster, master)});
    if (!linkInfo.empty()) attributes = Join({attributes, Attr(kLinkInfo | kNestedFlag, linkInfo)});
    return Message(kNewLink, LinkHeader(index, 1, 0x11043), attributes);
}

// The link dump of an active-backup bond: eth0 (2, active) and eth1 (3,
// backup) enslaved to bond0 (4, mode 1), all three with eth0's address,
// eth1's own address ending in 2;
// bond0.10 (5) on the bond, plain eth2 (6) with eth2.20 (7, 802.1ad), a
// bridge br0 (8) with its port v0 (9). The kernel lists slaves before
// their master when they were created first.
std::vector<Bytes> BondScenarioDump() {
    const auto bondSlave = [](std::uint8_t state, std::uint8_t ownLast) {
        return Join({TextAttr(kLinkInfoSlaveKind, "bond"),
                     Attr(kLinkInfoSlaveData | kNestedFlag,
                          Join({Attr(kBondSlaveState, {state}),
                                Attr(kBondSlaveOwnAddress, {0x52, 0x54, 0x00, 0x0A, 0x00, ownLast})}))});
    };
    const auto vlan = [](std::uint16_t id, std::uint8_t protocolHigh, std::uint8_t protocolLow) {
        return Join({TextAttr(kLinkInfoKind, "vlan"),
                     Attr(kLinkInfoData | kNestedFlag,
                          Join({Attr(kVlanId, Of(id)), Attr(kVlanProtocol, {protocolHigh, protocolLow})}))});
    };
    const Bytes bond = Join({TextAttr(kLinkInfoKind, "bond"), Attr(kLinkInfoData | kNestedFlag, Attr(kBondMode, {1}))});
    const Bytes port = Join({TextAttr(kLinkInfoKind, "veth"), TextAttr(kLinkInfoSlaveKind, "bridge")});
    return {Join({KernelLink(2, "eth0", 1, 4, bondSlave(0, 1)), KernelLink(3, "eth1", 1, 4, bondSlave(1, 2)),
                  KernelLink(4, "bond0", 1, 0, bond)}),
            Join({KernelLink(5, "bond0.10", 1, 0, vlan(10, 0x81, 0x00), U32Attr(kLinkLower, 4)),
                  KernelLink(6, "eth2", 3, 0, {}),
                  KernelLink(7, "eth2.20", 3, 0, vlan(20, 0x88, 0xA8), U32Attr(kLinkLower, 6)),
                  KernelLink(8, "br0", 4, 0, TextAttr(kLinkInfoKind, "bridge")), KernelLink(9, "v0", 4, 8, port),
                  Done()})};
}

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

TEST(NetlinkParse, MalformedLengthsNeverReadPastTheirBounds) {
    // An attribute claiming more bytes than its message holds ends the
    // attribute walk; what came before it is kept.
    Bytes overlong = Message(kNewLink, LinkHeader(3, 1, 0), Join({TextAttr(kLinkName, "ok"), U32Attr(kLinkMtu, 1)}));
    overlong[overlong.size() - 8] = 0xFF;  // the MTU attribute's length
    EXPECT_EQ(Lines(ParseLinkDump({overlong})), Texts{"3 ok hw 1 flags 0 mtu 0 oper 0 - kind  parent "});

    // A message claiming more bytes than its datagram ends that datagram's walk.
    Bytes cut = KernelLink(4, "cut", 4, 0, {});
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
    EXPECT_EQ(HexText(ParseLinkDump(reply).at(1).slaveOwnAddress), "52:54:00:0A:00:02");
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
        {"records only", KernelLink(1, "a", 1, 0, {}), false, 0, false},
        {"done", Join({KernelLink(1, "a", 1, 0, {}), Done()}), true, 0, false},
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
