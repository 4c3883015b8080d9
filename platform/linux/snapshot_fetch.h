// The fetch step of the live backend: asks the kernel and reads the
// system's files, and hands back plain records. Everything is read from
// the calling thread's network namespace (the threads a fetch starts share
// it), except sysfs, which shows the namespace it was mounted in (`ip netns
// exec` mounts the right one).
#pragma once

#include "platform/linux/kernel_records.h"

namespace linkscope::live {

// One dump each of interfaces, addresses and IPv4 main-table routes, and
// of the drivers' link modes; per interface, the driver's name (an ioctl)
// and, for interfaces on a bus device, its firmware label and wireless
// nature from sysfs; the DHCP lease of each interface that holds a dynamic
// IPv4 address; the resolver's per-link and system-wide DNS servers.
NetworkSnapshot FetchNetworkSnapshot();

HostFacts FetchHostFacts();

}  // namespace linkscope::live
