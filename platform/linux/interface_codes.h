// How a Linux interface's kernel facts read as the codes and texts of the
// platform answers: interface type, operational status, description, and
// the speed and duplex setting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/kernel_records.h"

namespace linkscope::live {

// The snapshot's interfaces sorted by interface index.
std::vector<const LinkRecord*> LinksInIndexOrder(const NetworkSnapshot& snapshot);
// What the driver said of the interface, or null when it was not asked.
const DeviceDetails* DetailsOf(const NetworkSnapshot& snapshot, std::uint32_t index);

// Interface type codes of the adapter answers (IANA ifType).
inline constexpr std::uint32_t kTypeOther = 1;
inline constexpr std::uint32_t kTypeEthernet = 6;
inline constexpr std::uint32_t kTypePpp = 23;
inline constexpr std::uint32_t kTypeLoopback = 24;
inline constexpr std::uint32_t kTypeWireless = 71;
inline constexpr std::uint32_t kTypeTunnel = 131;

std::uint32_t InterfaceTypeOf(std::uint16_t hardwareType, bool wireless);

// Operational status 0 (non-operational) to 5 (operational) of the
// interface table. A driver that keeps no operational state reports
// "unknown"; the carrier flag then decides, as the kernel's own
// documentation advises.
std::uint32_t OperStatusOf(OperState state, std::uint32_t flags);

// The firmware label of the bus device, else the driver's name, else the
// interface name: never empty for a named interface.
std::string DescriptionOf(const LinkRecord& link, const DeviceDetails* details);

// Speed and duplex as one setting: a decimal code and its display text,
// "1000Mbps Full", "10Gbps Half", or the speed alone ("100Mbps") when the
// duplex is unknown. Absent when the speed is unknown.
struct SpeedDuplexSetting {
    std::string code;
    std::string text;
};
std::optional<SpeedDuplexSetting> SpeedDuplexOf(const DeviceDetails& details);

}  // namespace linkscope::live
