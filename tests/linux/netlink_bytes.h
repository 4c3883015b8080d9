// Routing-netlink messages written byte by byte, as the kernel lays them
// out (host byte order, 4-byte alignment), for feeding the dump parsers.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace linkscope::live::testing {

using Bytes = std::vector<std::uint8_t>;

// Message types and attribute numbers of the kernel's interface.
inline constexpr std::uint16_t kDone = 3;
inline constexpr std::uint16_t kError = 2;
inline constexpr std::uint16_t kNewLink = 16;
inline constexpr std::uint16_t kNewAddress = 20;
inline constexpr std::uint16_t kNewRoute = 24;
inline constexpr std::uint16_t kDumpInterrupted = 0x10;  // message flag

inline constexpr std::uint16_t kLinkAddress = 1, kLinkName = 3, kLinkMtu = 4, kLinkOperState = 16,
                               kLinkInfo = 18, kLinkInfoKind = 1, kLinkParentDevice = 56;
inline constexpr std::uint16_t kAddrAddress = 1, kAddrLocal = 2, kAddrFlags = 8;
inline constexpr std::uint16_t kRouteOif = 4, kRouteGateway = 5, kRouteMultipath = 9, kRouteTable = 15;
inline constexpr std::uint16_t kNestedFlag = 0x8000;

template <class T>
void Put(Bytes& out, T value) {
    const std::size_t at = out.size();
    out.resize(at + sizeof value);
    std::memcpy(out.data() + at, &value, sizeof value);
}

inline void Pad(Bytes& out) { out.resize((out.size() + 3) & ~std::size_t{3}, 0); }

inline Bytes Join(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

inline Bytes Attr(std::uint16_t type, const Bytes& value) {
    Bytes out;
    Put<std::uint16_t>(out, static_cast<std::uint16_t>(4 + value.size()));
    Put<std::uint16_t>(out, type);
    out.insert(out.end(), value.begin(), value.end());
    Pad(out);
    return out;
}

inline Bytes TextAttr(std::uint16_t type, const std::string& text) {
    Bytes value(text.begin(), text.end());
    value.push_back(0);
    return Attr(type, value);
}

inline Bytes U32Attr(std::uint16_t type, std::uint32_t number) {
    Bytes value;
    Put(value, number);
    return Attr(type, value);
}

// nlmsghdr, then the fixed header padded to 4 bytes, then the attributes.
inline Bytes Message(std::uint16_t type, Bytes fixedHeader, const Bytes& attributes, std::uint16_t flags = 0) {
    Pad(fixedHeader);
    Bytes out;
    Put<std::uint32_t>(out, static_cast<std::uint32_t>(16 + fixedHeader.size() + attributes.size()));
    Put<std::uint16_t>(out, type);
    Put<std::uint16_t>(out, flags);
    Put<std::uint32_t>(out, 1);  // sequence
    Put<std::uint32_t>(out, 0);  // port id
    out.insert(out.end(), fixedHeader.begin(), fixedHeader.end());
    out.insert(out.end(), attributes.begin(), attributes.end());
    return out;
}

// struct ifinfomsg
inline Bytes LinkHeader(std::int32_t index, std::uint16_t hardwareType, std::uint32_t flags) {
    Bytes out;
    Put<std::uint8_t>(out, 0);  // family
    Put<std::uint8_t>(out, 0);
    Put(out, hardwareType);
    Put(out, index);
    Put(out, flags);
    Put<std::uint32_t>(out, 0);  // change mask
    return out;
}

// struct ifaddrmsg
inline Bytes AddressHeader(std::uint8_t family, std::uint8_t prefixLength, std::uint8_t flags, std::uint32_t index) {
    return Bytes{family, prefixLength, flags, 0, static_cast<std::uint8_t>(index), static_cast<std::uint8_t>(index >> 8),
                 static_cast<std::uint8_t>(index >> 16), static_cast<std::uint8_t>(index >> 24)};
}

// struct rtmsg
inline Bytes RouteHeader(std::uint8_t family, std::uint8_t destinationLength, std::uint8_t table, std::uint8_t type) {
    Bytes out{family, destinationLength, 0, 0, table, 3 /* boot */, 0, type};
    Put<std::uint32_t>(out, 0);  // flags
    return out;
}

// struct rtnexthop followed by its attributes.
inline Bytes NextHopBytes(std::int32_t interfaceIndex, const Bytes& attributes) {
    Bytes out;
    Put<std::uint16_t>(out, static_cast<std::uint16_t>(8 + attributes.size()));
    Put<std::uint8_t>(out, 0);  // flags
    Put<std::uint8_t>(out, 0);  // weight
    Put(out, interfaceIndex);
    out.insert(out.end(), attributes.begin(), attributes.end());
    return out;
}

// The closing message of a dump, carrying `status` (0 or a negative errno).
inline Bytes Done(std::int32_t status = 0) {
    Bytes value;
    Put(value, status);
    return Message(kDone, value, {});
}

}  // namespace linkscope::live::testing
