// The host-wide IP parameters from what the system's files say.
#pragma once

#include "platform/ip_helper.h"
#include "platform/linux/kernel_records.h"

namespace linkscope::live {

// The host name is the kernel's node name up to its first dot. The domain
// is the rest of a fully qualified node name, else the resolver's domain.
// Routing is on when IPv4 forwarding is (an unreadable setting counts as
// off); there is no proxy flag on Linux, so it stays 0.
platform::FixedInfo FixedInfoOf(const HostFacts& facts);

}  // namespace linkscope::live
