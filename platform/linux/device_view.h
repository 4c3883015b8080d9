// The Linux interfaces as the device database and registry present
// network adapters: each interface that has a driver or a bus device is one
// network-class device with a class key and a device interface whose
// TCP/IP binding is linked while the interface is administratively up.
//
//   SYSTEM\CurrentControlSet\Control\Class\{net class}\NNNN
//       NetCfgInstanceId = interface name, DriverDesc = description,
//       SpeedDuplex = code (only when the driver knows the speed)
//       Ndi\Params\SpeedDuplex\enum: code = "1000Mbps Full"
//   SYSTEM\CurrentControlSet\Control\DeviceClasses\{interface class}
//       \##?#LINUX#NET#NNNN#{interface class}\#<interface name>\Control
//       Linked = 1 (up) or 0 (down)
//
// NNNN counts the devices from 0000 in interface-index order. A device
// whose speed is unknown has no setting, so its adapter reads "Unknown".
#pragma once

#include <memory>
#include <vector>

#include "platform/device_registry.h"
#include "platform/linux/kernel_records.h"
#include "platform/registry_tree.h"

namespace linkscope::live {

// The device list is made afresh for each answer, so that only the caller
// holds it. The registry keeps the snapshot and works each key out when it
// is asked for.
std::vector<platform::DeviceRecord> PresentDevices(const NetworkSnapshot& snapshot);
std::shared_ptr<const platform::RegistryTree> DeviceRegistry(std::shared_ptr<const NetworkSnapshot> snapshot);

}  // namespace linkscope::live
