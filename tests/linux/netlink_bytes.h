// Routing-netlink messages written byte by byte, as the kernel lays them
// out (host byte order, 4-byte alignment), for feeding the dump parsers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace linkscope::live::testing {

using Bytes = std::vector<std::uint8_t>;

// Message types, the dump-interrupted flag and attribute numbers of the
// kernel's interface.
inline constexpr std::uint16_t kDone = 3, kError = 2, kNewLink = 16, kNewAddress = 20, kNewRoute = 24;
inline constexpr std::uint16_t kDumpInterrupted = 0x10, kNestedFlag = 0x8000;
inline constexpr std::uint16_t kLinkAddress = 1, kLinkName = 3, kLinkMtu = 4, kLinkOperState = 16,
                               kLinkInfo = 18, kLinkInfoKind = 1, kLinkParentDevice = 56;
inline constexpr std::uint16_t kLinkLower = 5, kLinkMaster = 10, kLinkInfoData = 2, kLinkInfoSlaveKind = 4,
                               kLinkInfoSlaveData = 5, kBondMode = 1, kBondSlaveState = 1, kBondSlaveOwnAddress = 4,
                               kVlanId = 1,
                               kVlanProtocol = 5;
inline constexpr std::uint16_t kAddrAddress = 1, kAddrLocal = 2, kAddrFlags = 8;
inline constexpr std::uint16_t kRouteOif = 4, kRouteGateway = 5, kRouteMultipath = 9, kRouteTable = 15;

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

inline void Pad(Bytes& out) { out.resize((out.size() + 3) & ~std::size_t{3}, 0); }

inline Bytes Join(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline Bytes Attr(std::uint16_t type, const Bytes& value) {
    Bytes out = Join({Of(static_cast<std::uint16_t>(4 + value.size()), type), value});
    Pad(out);
    return out;
}

inline Bytes TextAttr(std::uint16_t type, const std::string& text) {
    Bytes value(text.begin(), text.end());
    value.push_back(0);
    return Attr(type, value);
}

inline Bytes U32Attr(std::uint16_t type, std::uint32_t number) { return Attr(type, Of(number)); }

// nlmsghdr (sequence 1, port id 0), then the fixed header padded to 4
// bytes, then the attributes.
inline Bytes Message(std::uint16_t type, Bytes fixedHeader, const Bytes& attributes, std::uint16_t flags = 0) {
    Pad(fixedHeader);
    return Join({Of(static_cast<std::uint32_t>(16 + fixedHeader.size() + attributes.size()), type, flags,
                    std::uint32_t{1}, std::uint32_t{0}),
                 fixedHeader, attributes});
}

// struct ifinfomsg: family, padding, type, index, flags, change mask.
inline Bytes LinkHeader(std::int32_t index, std::uint16_t hardwareType, std::uint32_t flags) {
    return Of(std::uint8_t{0}, std::uint8_t{0}, hardwareType, index, flags, std::uint32_t{0});
}

// struct ifaddrmsg: family, prefix length, flags, scope, index.
inline Bytes AddressHeader(std::uint8_t family, std::uint8_t prefixLength, std::uint8_t flags, std::uint32_t index) {
    return Of(family, prefixLength, flags, std::uint8_t{0}, index);
}

// struct rtmsg: family, destination length, source length, tos, table,
// protocol (boot), scope, type, flags.
inline Bytes RouteHeader(std::uint8_t family, std::uint8_t destinationLength, std::uint8_t table, std::uint8_t type) {
    return Bytes{family, destinationLength, 0, 0, table, 3, 0, type, 0, 0, 0, 0};
}

// struct rtnexthop (length, flags, weight, interface) and its attributes.
inline Bytes NextHopBytes(std::int32_t interfaceIndex, const Bytes& attributes) {
    return Join({Of(static_cast<std::uint16_t>(8 + attributes.size()), std::uint8_t{0}, std::uint8_t{0}, interfaceIndex),
                 attributes});
}

// The closing message of a dump, carrying `status` (0 or a negative errno).
inline Bytes Done(std::int32_t status = 0) { return Message(kDone, Of(status), {}); }

// An up Ethernet interface with a hardware address ending in `macLast`,
// an optional master and link-information attributes.
inline Bytes KernelLink(std::int32_t index, const std::string& name, std::uint8_t macLast, std::uint32_t master,
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
inline std::vector<Bytes> BondScenarioDump() {
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

}  // namespace linkscope::live::testing
