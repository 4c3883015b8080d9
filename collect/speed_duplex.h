// Display texts of configured link speed and duplex.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace linkscope {

// The text stored when no source knows an adapter's setting.
inline constexpr char kUnknownSpeedDuplex[] = "Unknown";

// Text of a Broadcom adapter-information speed/duplex code; empty for the
// codes that name no setting (1, 2, 9, 10 and 22 onwards), which leaves the
// field for the driver's registry setting to fill.
std::string BroadcomSpeedDuplexText(std::uint32_t code);

// The text the driver key at `classKeyPath` (relative to
// HKEY_LOCAL_MACHINE) gives an adapter whose field is still empty: its
// setting's entry in the setting's enumeration, or kUnknownSpeedDuplex;
// nullopt when the enumeration is missing or empty and the field stays as
// it was.
std::optional<std::string> DriverSpeedDuplexText(const std::string& classKeyPath);

}  // namespace linkscope
