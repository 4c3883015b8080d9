#include "platform/sim/pci_device_fields.h"

#include <limits>

namespace linkscope::sim {
namespace {

constexpr std::size_t kMaxText = 1023;

// An integer up to 65535 is the 16-bit device id; a string is a text.
std::variant<std::uint16_t, std::string> ReadDeviceId(const Field& field) {
    if (field.Value().is_string()) return field.Text(kMaxText);
    if (!field.Value().is_number_unsigned() ||
        field.Value().get<std::uint64_t>() > std::numeric_limits<std::uint16_t>::max()) {
        field.Fail("expected an integer from 0 to 65535 or a string");
    }
    return static_cast<std::uint16_t>(field.Value().get<std::uint64_t>());
}

PciDevice ReadDevice(const Field& field) {
    const Record record(field, {"DeviceID", "PciDeviceID", "Description"});
    PciDevice device;
    if (auto text = record.Get("DeviceID")) device.deviceId = text->Text(kMaxText);
    if (auto id = record.Get("PciDeviceID")) device.pciDeviceId = ReadDeviceId(*id);
    if (auto text = record.Get("Description")) device.description = text->Text(kMaxText);
    return device;
}

}  // namespace

PciDevices ReadPciDevices(const Field& field) {
    const Record record(field, {"devices", "getClassStatus"});
    PciDevices pci;
    if (auto devices = record.Get("devices")) {
        for (const Field& item : devices->Items()) pci.devices.push_back(ReadDevice(item));
    }
    record.Read("getClassStatus", &pci.getClassStatus);
    return pci;
}

}  // namespace linkscope::sim
