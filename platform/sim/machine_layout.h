// The device list and the registry tree of a machine: every network device
// (an adapter's "device" or a disabled adapter) gets a device-list entry, a
// driver class key with its settings, and a TCP/IP interface below
// "DeviceClasses"; the machine's raw devices and keys follow.
#pragma once

#include <memory>
#include <vector>

#include "platform/device_registry.h"
#include "platform/sim/machine.h"
#include "platform/registry_store.h"

namespace linkscope::sim {

struct MachineLayout {
    std::vector<platform::DeviceRecord> devices;
    std::shared_ptr<platform::RegistryStore> registry =
        std::make_shared<platform::RegistryStore>(platform::NameMatch::kAnyCase);
};

// Network devices are numbered in the order adapters, then disabled
// adapters: device n has the driver key "{net class}\NNNN" (n in four or
// more digits) and, for each of its interface classes C, the interface key
// "DeviceClasses\C\##?#ROOT#NET#NNNN#C" whose first subkey "#" + guid has a
// subkey "Control" with "Linked" 1 for an adapter, 0 for a disabled one.
MachineLayout LayOutMachine(const Machine& machine);

}  // namespace linkscope::sim
