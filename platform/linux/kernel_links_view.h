// The kernel's own link aggregation as the platform reports it, from the
// interfaces of one link dump.
#pragma once

#include <vector>

#include "platform/kernel_links.h"
#include "platform/linux/kernel_records.h"

namespace linkscope::live {

// One entry per interface, in dump order. Master and lower-interface
// indices become names; an index that no interface of the dump has (a
// lower device in another namespace) becomes an empty name. A slave state
// other than active or backup is reported as unknown.
std::vector<platform::KernelLink> KernelLinksOf(const std::vector<LinkRecord>& links);

}  // namespace linkscope::live
