#include "platform/linux/interface_codes.h"

#include <algorithm>
#include <cstddef>

namespace linkscope::live {
namespace {

struct TypeOfHardware {
    std::uint16_t hardwareType;
    std::uint32_t type;
};

constexpr TypeOfHardware kTypes[] = {
    {kHwEther, kTypeEthernet},
    {kHwLoopback, kTypeLoopback},
    {kHwPpp, kTypePpp},
    {kHwIeee80211, kTypeWireless},
    {kHwIeee80211Prism, kTypeWireless},
    {kHwIeee80211Radiotap, kTypeWireless},
    {kHwTunnel, kTypeTunnel},   // IPv4 in IPv4
    {kHwTunnel6, kTypeTunnel},  // IP in IPv6
    {kHwSit, kTypeTunnel},      // IPv6 in IPv4
    {kHwIpGre, kTypeTunnel},
    {kHwIp6Gre, kTypeTunnel},
    {kHwNone, kTypeTunnel},  // layer-3 devices without hardware: tun, WireGuard
};

constexpr std::uint32_t kOperStatus[] = {
    0,  // unknown: decided by the carrier, see OperStatusOf
    0,  // not present: non-operational
    2,  // down: disconnected
    1,  // lower layer down: unreachable
    0,  // testing: non-operational
    3,  // dormant, waiting for an external event: connecting
    5,  // up: operational
};

constexpr std::uint32_t kOperational = 5;
// The code is read back as a signed 32-bit number; no link is this fast.
constexpr std::uint32_t kMaxSpeedMbps = 200'000'000;

// Speeds from 10 Gbit/s that are whole Gbit/s read in Gbps, the rest in Mbps.
std::string SpeedText(std::uint32_t mbps) {
    if (mbps >= 10000 && mbps % 1000 == 0) return std::to_string(mbps / 1000) + "Gbps";
    return std::to_string(mbps) + "Mbps";
}

}  // namespace

std::vector<const LinkRecord*> LinksInIndexOrder(const NetworkSnapshot& snapshot) {
    std::vector<const LinkRecord*> links;
    links.reserve(snapshot.links.size());
    for (const LinkRecord& link : snapshot.links) links.push_back(&link);
    std::stable_sort(links.begin(), links.end(), [](const auto* a, const auto* b) { return a->index < b->index; });
    return links;
}

const DeviceDetails* DetailsOf(const NetworkSnapshot& snapshot, std::uint32_t index) {
    const auto it = snapshot.devices.find(index);
    return it == snapshot.devices.end() ? nullptr : &it->second;
}

std::uint32_t InterfaceTypeOf(std::uint16_t hardwareType, bool wireless) {
    if (wireless) return kTypeWireless;
    for (const TypeOfHardware& entry : kTypes) {
        if (entry.hardwareType == hardwareType) return entry.type;
    }
    return kTypeOther;
}

std::uint32_t OperStatusOf(OperState state, std::uint32_t flags) {
    if (state == OperState::kUnknown) return (flags & kFlagLowerUp) ? kOperational : 0;
    const auto code = static_cast<std::size_t>(state);
    return code < std::size(kOperStatus) ? kOperStatus[code] : 0;
}

std::string DescriptionOf(const LinkRecord& link, const DeviceDetails* details) {
    if (details != nullptr && !details->label.empty()) return details->label;
    if (details != nullptr && !details->driver.empty()) return details->driver;
    return link.name;
}

std::optional<SpeedDuplexSetting> SpeedDuplexOf(const DeviceDetails& details) {
    if (!details.speedMbps || *details.speedMbps > kMaxSpeedMbps) return std::nullopt;
    // The code keeps speed and duplex apart: speed in Mbit/s times ten plus
    // 0 (half), 1 (full) or 2 (duplex unknown).
    std::uint64_t code = std::uint64_t{*details.speedMbps} * 10;
    std::string text = SpeedText(*details.speedMbps);
    if (details.duplex == kDuplexHalf) {
        text += " Half";
    } else if (details.duplex == kDuplexFull) {
        code += 1;
        text += " Full";
    } else {
        code += 2;
    }
    return SpeedDuplexSetting{std::to_string(code), text};
}

}  // namespace linkscope::live
