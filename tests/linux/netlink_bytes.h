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

}  // namespace linkscope::live::testing
