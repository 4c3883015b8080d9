// Reading the NIC management library section of a machine description.
#pragma once

#include "platform/sim/json_fields.h"
#include "platform/sim/nic_library.h"

namespace linkscope::sim {

NicLibrary ReadNicLibrary(const Field& field);

}  // namespace linkscope::sim
