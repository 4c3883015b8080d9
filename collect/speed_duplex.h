// Display texts of configured link speed and duplex.
#pragma once

#include <cstdint>
#include <string>

namespace linkscope {

// The text stored when no source knows an adapter's setting.
inline constexpr char kUnknownSpeedDuplex[] = "Unknown";

// Text of a Broadcom adapter-information speed/duplex code; empty for the
// codes that name no setting (1, 2, 9, 10 and 22 onwards), which leaves the
// field for the driver's registry setting to fill.
std::string BroadcomSpeedDuplexText(std::uint32_t code);

}  // namespace linkscope
