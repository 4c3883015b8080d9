// What the live backend learns from the kernel and the system's files, as
// plain data. The fetch layer fills these; the conversions into platform
// answers read only these, so they can be tested with hand-built records.
//
// The numeric constants are the kernel's own values (checked against its
// headers in kernel_abi_check.cpp), repeated here so that code outside this
// folder never needs an OS header.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace linkscope::live {

// Hardware types (ARPHRD_*) the interface-type mapping tells apart.
inline constexpr std::uint16_t kHwEther = 1;
inline constexpr std::uint16_t kHwPpp = 512;
inline constexpr std::uint16_t kHwTunnel = 768;
inline constexpr std::uint16_t kHwTunnel6 = 769;
inline constexpr std::uint16_t kHwLoopback = 772;
inline constexpr std::uint16_t kHwSit = 776;
inline constexpr std::uint16_t kHwIpGre = 778;
inline constexpr std::uint16_t kHwIeee80211 = 801;
inline constexpr std::uint16_t kHwIeee80211Prism = 802;
inline constexpr std::uint16_t kHwIeee80211Radiotap = 803;
inline constexpr std::uint16_t kHwIp6Gre = 823;
inline constexpr std::uint16_t kHwNone = 0xFFFE;

// Interface flags (IFF_*).
inline constexpr std::uint32_t kFlagUp = 0x1;
inline constexpr std::uint32_t kFlagLowerUp = 0x10000;

// Operational states (IF_OPER_*), RFC 2863.
enum class OperState : std::uint8_t {
    kUnknown = 0,
    kNotPresent = 1,
    kDown = 2,
    kLowerLayerDown = 3,
    kTesting = 4,
    kDormant = 5,
    kUp = 6,
};

// Address families and address flags (IFA_F_*).
inline constexpr std::uint8_t kFamilyInet = 2;
inline constexpr std::uint8_t kFamilyInet6 = 10;
inline constexpr std::uint32_t kAddressPermanent = 0x80;

// Routing tables and route types.
inline constexpr std::uint32_t kTableMain = 254;
inline constexpr std::uint8_t kRouteUnicast = 1;

// Link duplex as the kernel reports it (DUPLEX_*).
inline constexpr std::uint8_t kDuplexHalf = 0;
inline constexpr std::uint8_t kDuplexFull = 1;
inline constexpr std::uint8_t kDuplexUnknown = 0xFF;

// A bond slave's state (BOND_STATE_*).
inline constexpr std::uint8_t kBondSlaveActive = 0;
inline constexpr std::uint8_t kBondSlaveBackup = 1;

// One network interface of a link dump.
struct LinkRecord {
    std::uint32_t index = 0;
    std::string name;
    std::uint16_t hardwareType = 0;
    std::uint32_t flags = 0;
    std::uint32_t mtu = 0;
    OperState operState = OperState::kUnknown;
    std::vector<std::uint8_t> address;  // hardware address, any length
    std::string kind;                   // link kind of a virtual interface ("veth", "bridge"), else empty
    std::string parentDevice;           // the bus device below it ("0000:00:03.0"), else empty
    std::uint32_t master = 0;           // index of the interface it is enslaved to, 0: none
    std::uint32_t lowerLink = 0;        // index of its lower interface (a VLAN's parent), 0: none
    std::string slaveKind;              // its master's kind, as seen from the slave
    std::optional<std::uint8_t> bondMode;    // from a bond's own data
    std::optional<std::uint8_t> slaveState;  // from a bond slave's data (kBondSlave*)
    std::vector<std::uint8_t> slaveOwnAddress;  // a bond slave's own hardware address, else empty
    std::optional<std::uint16_t> vlanId;
    std::uint16_t vlanProtocol = 0;     // host order
};

// The bytes of an address as the kernel gave them, kept in place: a dump
// holds one per address of every interface. Only the first 16 bytes of a
// longer one are kept; its size tells it is neither family's.
class AddressBytes {
public:
    AddressBytes() = default;
    AddressBytes(const std::uint8_t* data, std::size_t size) : size_(static_cast<std::uint16_t>(size)) {
        std::copy(data, data + std::min(size, bytes_.size()), bytes_.begin());
    }
    AddressBytes(const std::vector<std::uint8_t>& bytes) : AddressBytes(bytes.data(), bytes.size()) {}

    std::size_t size() const { return size_; }  // a netlink attribute's length fits 16 bits
    bool empty() const { return size_ == 0; }
    const std::uint8_t* begin() const { return bytes_.data(); }
    const std::uint8_t* end() const { return bytes_.data() + std::min<std::size_t>(size_, bytes_.size()); }
    std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }

private:
    std::array<std::uint8_t, 16> bytes_{};
    std::uint16_t size_ = 0;
};

// One address of an address dump, either family.
struct AddressRecord {
    std::uint8_t family = 0;
    std::uint32_t index = 0;
    std::uint8_t prefixLength = 0;
    std::uint32_t flags = 0;
    AddressBytes local;  // 4 or 16 bytes: the interface's own address
};

struct NextHop {
    std::uint32_t interfaceIndex = 0;
    std::vector<std::uint8_t> gateway;  // empty: directly connected
};

// One IPv4 route of a route dump; a multipath route has several hops.
struct RouteRecord {
    std::uint32_t table = 0;
    std::uint8_t type = 0;
    std::uint8_t destinationLength = 0;
    std::vector<NextHop> hops;
};

// The link speed and duplex a driver reports for one interface.
struct LinkModesRecord {
    std::uint32_t index = 0;
    std::optional<std::uint32_t> speedMbps;  // absent: unknown
    std::uint8_t duplex = kDuplexUnknown;
};

// What the driver says of one interface (ethtool), and what sysfs adds.
struct DeviceDetails {
    std::string driver;  // empty: the interface has no driver that answers
    std::string label;   // the bus device's own name from firmware, if any
    bool wireless = false;
    std::optional<std::uint32_t> speedMbps;  // absent: unknown
    std::uint8_t duplex = kDuplexUnknown;
};

// Everything the IP configuration and device views are built from, taken
// at one moment. A dump that failed leaves its list empty and its error set.
struct NetworkSnapshot {
    int linkError = 0;  // errno of a failed dump, 0 on success
    int addressError = 0;
    int routeError = 0;
    std::vector<LinkRecord> links;  // kernel order
    std::vector<AddressRecord> addresses;  // kernel order
    std::vector<RouteRecord> routes;  // IPv4, kernel order
    std::unordered_map<std::uint32_t, DeviceDetails> devices;  // by interface index
    std::unordered_map<std::uint32_t, std::string> dhcpServers;  // by interface index, dotted text
    std::unordered_map<std::uint32_t, std::vector<std::string>> linkDnsServers;  // per-link resolver servers
    std::vector<std::string> resolverDnsServers;  // the system resolver's servers
};

// The host-wide parameters, from the system's files.
struct HostFacts {
    std::string hostName;  // as the kernel holds it, possibly with a domain
    std::string resolverDomain;  // "domain" or first "search" entry of the resolver
    std::optional<bool> ipv4Forwarding;  // absent: unreadable
};

}  // namespace linkscope::live
