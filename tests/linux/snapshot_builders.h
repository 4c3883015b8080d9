// Hand-made kernel records for the conversion tests.
#pragma once

#include <string>
#include <vector>

#include "platform/linux/kernel_records.h"

namespace linkscope::live::testing {

inline constexpr std::uint32_t kUpWithCarrier = kFlagUp | kFlagLowerUp;

inline LinkRecord Link(std::uint32_t index, const std::string& name, std::uint32_t flags = kUpWithCarrier,
                       std::uint16_t hardwareType = kHwEther) {
    LinkRecord link;
    link.index = index;
    link.name = name;
    link.flags = flags;
    link.hardwareType = hardwareType;
    link.mtu = 1500;
    link.operState = (flags & kFlagUp) ? OperState::kUp : OperState::kDown;
    link.address = {0x02, 0x00, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(index)};
    return link;
}

inline AddressRecord Ipv4(std::uint32_t index, std::vector<std::uint8_t> bytes, std::uint8_t prefixLength,
                          std::uint32_t flags = kAddressPermanent) {
    return AddressRecord{kFamilyInet, index, prefixLength, flags, std::move(bytes)};
}

inline AddressRecord Ipv6(std::uint32_t index, std::uint8_t first, std::uint8_t last) {
    std::vector<std::uint8_t> bytes(16, 0);
    bytes[0] = first;
    bytes[15] = last;
    return AddressRecord{kFamilyInet6, index, 64, kAddressPermanent, std::move(bytes)};
}

inline RouteRecord DefaultRoute(std::vector<NextHop> hops, std::uint32_t table = kTableMain) {
    return RouteRecord{table, kRouteUnicast, 0, std::move(hops)};
}

inline DeviceDetails Driver(const std::string& name, std::optional<std::uint32_t> speedMbps = std::nullopt,
                            std::uint8_t duplex = kDuplexUnknown) {
    DeviceDetails details;
    details.driver = name;
    details.speedMbps = speedMbps;
    details.duplex = duplex;
    return details;
}

}  // namespace linkscope::live::testing
