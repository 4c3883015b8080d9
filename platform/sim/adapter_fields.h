// Reading the adapter lists of a machine description.
#pragma once

#include <cstddef>
#include <vector>

#include "platform/sim/json_fields.h"
#include "platform/sim/machine.h"

namespace linkscope::sim {

// Largest registry data the simulation holds, in bytes.
inline constexpr std::size_t kMaxRegistryData = 1 << 20;
// Longest registry value name the system allows.
inline constexpr std::size_t kMaxValueNameChars = 16383;

std::vector<Adapter> ReadAdapters(const Field& list);
std::vector<DisabledAdapter> ReadDisabledAdapters(const Field& list);

}  // namespace linkscope::sim
