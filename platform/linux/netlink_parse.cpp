#include "platform/linux/netlink_parse.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "platform/linux/os_headers.h"

namespace linkscope::live {
namespace {

struct Bytes {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;

    Bytes From(std::size_t offset) const {
        return offset >= size ? Bytes{data + size, 0} : Bytes{data + offset, size - offset};
    }
};

// A fixed-size kernel struct at the start of `bytes`; false when it is
// shorter. Copied, since netlink data has no alignment promise for us.
template <class T>
bool ReadStruct(Bytes bytes, T* out) {
    if (bytes.size < sizeof(T)) return false;
    std::memcpy(out, bytes.data, sizeof(T));
    return true;
}

std::uint32_t ReadU32(Bytes bytes) {
    std::uint32_t value = 0;
    ReadStruct(bytes, &value);
    return value;
}

std::uint8_t ReadU8(Bytes bytes) { return bytes.size == 0 ? 0 : bytes.data[0]; }

// Absent when the attribute is shorter than its width.
template <class T>
std::optional<T> ReadOptional(Bytes bytes) {
    T value{};
    if (!ReadStruct(bytes, &value)) return std::nullopt;
    return value;
}

// The text up to its NUL or the attribute's end.
std::string ReadText(Bytes bytes) {
    const auto* end = std::find(bytes.data, bytes.data + bytes.size, std::uint8_t{0});
    return std::string(bytes.data, end);
}

std::vector<std::uint8_t> ReadRaw(Bytes bytes) { return {bytes.data, bytes.data + bytes.size}; }

template <class Visit>
void ForEachMessage(Bytes datagram, Visit visit) {
    std::size_t offset = 0;
    while (datagram.size - offset >= sizeof(nlmsghdr)) {
        nlmsghdr header;
        std::memcpy(&header, datagram.data + offset, sizeof header);
        if (header.nlmsg_len < NLMSG_HDRLEN || header.nlmsg_len > datagram.size - offset) return;
        visit(header, Bytes{datagram.data + offset + NLMSG_HDRLEN, header.nlmsg_len - NLMSG_HDRLEN});
        offset += std::min<std::size_t>(NLMSG_ALIGN(header.nlmsg_len), datagram.size - offset);
    }
}

template <class Visit>
void ForEachMessage(const Datagram& datagram, Visit visit) {
    ForEachMessage(Bytes{datagram.data(), datagram.size()}, visit);
}

template <class Visit>
void ForEachAttribute(Bytes area, Visit visit) {
    std::size_t offset = 0;
    while (area.size - offset >= sizeof(rtattr)) {
        rtattr attribute;
        std::memcpy(&attribute, area.data + offset, sizeof attribute);
        if (attribute.rta_len < RTA_LENGTH(0) || attribute.rta_len > area.size - offset) return;
        visit(attribute.rta_type & NLA_TYPE_MASK,
              Bytes{area.data + offset + RTA_LENGTH(0), attribute.rta_len - RTA_LENGTH(0)});
        offset += std::min<std::size_t>(RTA_ALIGN(attribute.rta_len), area.size - offset);
    }
}

// Calls parse(payload) for every message of type `type` in the datagram.
template <class Record, class Parse>
void AppendRecords(Bytes datagram, std::uint16_t type, Parse parse, std::vector<Record>& records) {
    ForEachMessage(datagram, [&](const nlmsghdr& header, Bytes payload) {
        if (header.nlmsg_type != type) return;
        if (auto record = parse(payload)) records.push_back(std::move(*record));
    });
}

template <class Record, class Parse>
std::vector<Record> ParseDump(const std::vector<Datagram>& datagrams, std::uint16_t type, Parse parse) {
    std::vector<Record> records;
    for (const Datagram& datagram : datagrams) AppendRecords(Bytes{datagram.data(), datagram.size()}, type, parse, records);
    return records;
}

// The kind-specific data is read once the kinds are known, whatever the
// order of the nested attributes.
void ParseLinkInfo(Bytes area, LinkRecord& link) {
    Bytes data;
    Bytes slaveData;
    ForEachAttribute(area, [&](unsigned type, Bytes value) {
        switch (type) {
            case IFLA_INFO_KIND: link.kind = ReadText(value); break;
            case IFLA_INFO_DATA: data = value; break;
            case IFLA_INFO_SLAVE_KIND: link.slaveKind = ReadText(value); break;
            case IFLA_INFO_SLAVE_DATA: slaveData = value; break;
            default: break;
        }
    });
    if (link.kind == "bond") {
        ForEachAttribute(data, [&](unsigned type, Bytes value) {
            if (type == IFLA_BOND_MODE) link.bondMode = ReadOptional<std::uint8_t>(value);
        });
    } else if (link.kind == "vlan") {
        ForEachAttribute(data, [&](unsigned type, Bytes value) {
            if (type == IFLA_VLAN_ID) link.vlanId = ReadOptional<std::uint16_t>(value);
            // The tag protocol is in network byte order.
            if (type == IFLA_VLAN_PROTOCOL) link.vlanProtocol = ntohs(ReadOptional<std::uint16_t>(value).value_or(0));
        });
    }
    if (link.slaveKind == "bond") {
        ForEachAttribute(slaveData, [&](unsigned type, Bytes value) {
            if (type == IFLA_BOND_SLAVE_STATE) link.slaveState = ReadOptional<std::uint8_t>(value);
            if (type == IFLA_BOND_SLAVE_PERM_HWADDR) link.slaveOwnAddress = ReadRaw(value);
        });
    }
}

std::optional<LinkRecord> ParseLink(Bytes payload) {
    ifinfomsg info;
    if (!ReadStruct(payload, &info)) return std::nullopt;
    LinkRecord link;
    link.index = static_cast<std::uint32_t>(info.ifi_index);
    link.hardwareType = info.ifi_type;
    link.flags = info.ifi_flags;
    ForEachAttribute(payload.From(NLMSG_ALIGN(sizeof info)), [&](unsigned type, Bytes value) {
        switch (type) {
            case IFLA_IFNAME: link.name = ReadText(value); break;
            case IFLA_ADDRESS: link.address = ReadRaw(value); break;
            case IFLA_MTU: link.mtu = ReadU32(value); break;
            case IFLA_OPERSTATE: link.operState = static_cast<OperState>(ReadU8(value)); break;
            case IFLA_PARENT_DEV_NAME: link.parentDevice = ReadText(value); break;
            case IFLA_MASTER: link.master = ReadU32(value); break;
            case IFLA_LINK: link.lowerLink = ReadU32(value); break;
            case IFLA_LINKINFO: ParseLinkInfo(value, link); break;
            default: break;
        }
    });
    return link;
}

std::optional<AddressRecord> ParseAddress(Bytes payload) {
    ifaddrmsg info;
    if (!ReadStruct(payload, &info)) return std::nullopt;
    AddressRecord address;
    address.family = info.ifa_family;
    address.index = info.ifa_index;
    address.prefixLength = info.ifa_prefixlen;
    address.flags = info.ifa_flags;
    AddressBytes peer;
    ForEachAttribute(payload.From(NLMSG_ALIGN(sizeof info)), [&](unsigned type, Bytes value) {
        switch (type) {
            case IFA_LOCAL: address.local = AddressBytes(value.data, value.size); break;
            case IFA_ADDRESS: peer = AddressBytes(value.data, value.size); break;
            case IFA_FLAGS: address.flags = ReadU32(value); break;
            default: break;
        }
    });
    // Without a separate local address (every IPv6 address, and IPv4 ones
    // that are not point-to-point) the address attribute is the own one.
    if (address.local.empty()) address.local = peer;
    return address;
}

void ParseMultipath(Bytes area, RouteRecord& route) {
    std::size_t offset = 0;
    while (area.size - offset >= sizeof(rtnexthop)) {
        rtnexthop hop;
        std::memcpy(&hop, area.data + offset, sizeof hop);
        if (hop.rtnh_len < sizeof hop || hop.rtnh_len > area.size - offset) return;
        NextHop next;
        next.interfaceIndex = static_cast<std::uint32_t>(hop.rtnh_ifindex);
        ForEachAttribute(Bytes{area.data + offset + RTNH_LENGTH(0), hop.rtnh_len - RTNH_LENGTH(0)},
                         [&](unsigned type, Bytes value) {
                             if (type == RTA_GATEWAY) next.gateway = ReadRaw(value);
                         });
        route.hops.push_back(std::move(next));
        offset += std::min<std::size_t>(RTNH_ALIGN(hop.rtnh_len), area.size - offset);
    }
}

std::optional<RouteRecord> ParseRoute(Bytes payload) {
    rtmsg info;
    if (!ReadStruct(payload, &info) || info.rtm_family != AF_INET) return std::nullopt;
    RouteRecord route;
    route.table = info.rtm_table;
    route.type = info.rtm_type;
    route.destinationLength = info.rtm_dst_len;
    NextHop single;
    bool hasSingle = false;
    ForEachAttribute(payload.From(NLMSG_ALIGN(sizeof info)), [&](unsigned type, Bytes value) {
        switch (type) {
            case RTA_TABLE: route.table = ReadU32(value); break;
            case RTA_OIF: single.interfaceIndex = ReadU32(value); hasSingle = true; break;
            case RTA_GATEWAY: single.gateway = ReadRaw(value); hasSingle = true; break;
            case RTA_MULTIPATH: ParseMultipath(value, route); break;
            default: break;
        }
    });
    if (hasSingle) route.hops.insert(route.hops.begin(), std::move(single));
    return route;
}

// The speed as a driver's link settings give it: 0 and all ones (the
// kernel's unknown) are no speed.
std::optional<std::uint32_t> KnownSpeed(std::uint32_t speed) {
    if (speed == 0 || speed == 0xFFFFFFFF) return std::nullopt;
    return speed;
}

// A generic-netlink message: its command header, then attributes.
std::optional<LinkModesRecord> ParseLinkModes(Bytes payload) {
    genlmsghdr command;
    if (!ReadStruct(payload, &command) || command.cmd != ETHTOOL_MSG_LINKMODES_GET_REPLY) return std::nullopt;
    LinkModesRecord record;
    ForEachAttribute(payload.From(GENL_HDRLEN), [&](unsigned type, Bytes value) {
        switch (type) {
            case ETHTOOL_A_LINKMODES_HEADER:
                ForEachAttribute(value, [&](unsigned field, Bytes inner) {
                    if (field == ETHTOOL_A_HEADER_DEV_INDEX) record.index = ReadU32(inner);
                });
                break;
            case ETHTOOL_A_LINKMODES_SPEED: record.speedMbps = KnownSpeed(ReadU32(value)); break;
            case ETHTOOL_A_LINKMODES_DUPLEX: if (value.size != 0) record.duplex = ReadU8(value); break;
            default: break;
        }
    });
    if (record.index == 0) return std::nullopt;
    return record;
}

}  // namespace

std::uint16_t ParseFamilyId(const std::vector<Datagram>& datagrams) {
    std::uint16_t id = 0;
    for (const Datagram& datagram : datagrams) {
        ForEachMessage(datagram, [&](const nlmsghdr& header, Bytes payload) {
            if (header.nlmsg_type != GENL_ID_CTRL) return;
            ForEachAttribute(payload.From(GENL_HDRLEN), [&](unsigned type, Bytes value) {
                if (type == CTRL_ATTR_FAMILY_ID && value.size >= sizeof id) std::memcpy(&id, value.data, sizeof id);
            });
        });
    }
    return id;
}

std::vector<LinkModesRecord> ParseLinkModesDump(const std::vector<Datagram>& datagrams, std::uint16_t familyId) {
    if (familyId == 0) return {};
    return ParseDump<LinkModesRecord>(datagrams, familyId, ParseLinkModes);
}

DumpProgress InspectDumpDatagram(const std::uint8_t* data, std::size_t size) {
    DumpProgress progress;
    ForEachMessage(Bytes{data, size}, [&](const nlmsghdr& header, Bytes payload) {
        if (header.nlmsg_flags & NLM_F_DUMP_INTR) progress.interrupted = true;
        if (header.nlmsg_type == NLMSG_DONE || header.nlmsg_type == NLMSG_ERROR) {
            progress.finished = true;
            std::int32_t code = 0;  // both carry a negative errno first, or 0
            ReadStruct(payload, &code);
            // The lowest code has no positive counterpart; it is still a refusal.
            if (code < 0) progress.error = code == INT32_MIN ? INT32_MAX : -code;
        }
    });
    return progress;
}

void AppendLinks(const std::uint8_t* data, std::size_t size, std::vector<LinkRecord>& links) {
    AppendRecords(Bytes{data, size}, RTM_NEWLINK, ParseLink, links);
}

void AppendAddresses(const std::uint8_t* data, std::size_t size, std::vector<AddressRecord>& addresses) {
    AppendRecords(Bytes{data, size}, RTM_NEWADDR, ParseAddress, addresses);
}

void AppendRoutes(const std::uint8_t* data, std::size_t size, std::vector<RouteRecord>& routes) {
    AppendRecords(Bytes{data, size}, RTM_NEWROUTE, ParseRoute, routes);
}

}  // namespace linkscope::live
