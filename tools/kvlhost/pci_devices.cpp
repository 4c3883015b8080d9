#include "pci_devices.h"

namespace kvlhost {

using namespace NQRXKVL20;

namespace {

// The device id as the provider's schema types it: unsigned 16 bits, or a
// text where the machine description gives one.
TCIMValue DeviceIdValue(const std::variant<std::uint16_t, std::string>& id) {
    if (const auto* number = std::get_if<std::uint16_t>(&id)) return TCIMValue(static_cast<unsigned short>(*number));
    return TCIMValue(std::get<std::string>(id));
}

}  // namespace

void InstallPciDevices(TPluginManagerNamespace& manager, const linkscope::sim::PciDevices& pci) {
    const std::string className = "QRXSG_PCIDevice";
    manager.DefineClass(className, {"DeviceID"});
    for (const linkscope::sim::PciDevice& device : pci.devices) {
        TCIMPropertyMap properties;
        if (device.deviceId) properties["DeviceID"] = TCIMValue(*device.deviceId);
        if (device.pciDeviceId) properties["PciDeviceID"] = DeviceIdValue(*device.pciDeviceId);
        if (device.description) properties["Description"] = TCIMValue(*device.description);
        manager.AddStaticInstance(className, properties);
    }
    manager.SetLookupStatus(className, pci.getClassStatus);
}

}  // namespace kvlhost
