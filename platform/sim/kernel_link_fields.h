// Reading the kernel links section of a machine description.
#pragma once

#include <vector>

#include "platform/kernel_links.h"
#include "platform/sim/json_fields.h"

namespace linkscope::sim {

std::vector<platform::KernelLink> ReadKernelLinks(const Field& list);

}  // namespace linkscope::sim
