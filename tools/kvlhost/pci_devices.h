// The PCI devices of a described machine, which another provider of the
// host serves beside the plug-in.
#pragma once

#include "kvl/hub.h"
#include "platform/sim/pci_devices.h"

namespace kvlhost {

// Defines the class "QRXSG_PCIDevice" (key "DeviceID") with one static
// instance per device, carrying the properties the device gives, and sets
// the class's lookup status. A host without them does not know the class.
void InstallPciDevices(NQRXKVL20::TPluginManagerNamespace& manager, const linkscope::sim::PciDevices& pci);

}  // namespace kvlhost
