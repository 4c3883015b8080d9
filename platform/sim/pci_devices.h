// The host's PCI devices as a machine description gives them. They are no
// answer of the platform: another provider of the host serves them as
// instances of "QRXSG_PCIDevice", and the runner hands them to its host.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace linkscope::sim {

// A device's properties, each absent unless given.
struct PciDevice {
    std::optional<std::string> deviceId;  // "DeviceID", the class's key: the bus's device instance path
    // "PciDeviceID": the configuration header's 16-bit device id as a
    // number, or a text.
    std::optional<std::variant<std::uint16_t, std::string>> pciDeviceId;
    std::optional<std::string> description;  // "Description"
};

struct PciDevices {
    std::vector<PciDevice> devices;  // in the order the host enumerates them
    // Non-zero: looking the class up fails with this host status code.
    std::uint32_t getClassStatus = 0;
};

}  // namespace linkscope::sim
