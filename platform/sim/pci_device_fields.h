// Reading the PCI devices section of a machine description.
#pragma once

#include "platform/sim/json_fields.h"
#include "platform/sim/pci_devices.h"

namespace linkscope::sim {

PciDevices ReadPciDevices(const Field& field);

}  // namespace linkscope::sim
