// Ties adapter records to their network-class devices in the device
// database and registry: reads each enumerated adapter's speed and duplex
// setting, and adds the disabled adapters that IP configuration does not
// report.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "collect/adapters_info.h"
#include "platform/position_index.h"
#include "platform/device_registry.h"

namespace linkscope {

enum class ScanMode : int {
    kComplete = 0,  // complete the given record with its speed and duplex
    kAddMissing = 1,  // add disabled network devices as physical records
};

inline constexpr char kDeviceNamePrefix[] = "\\DEVICE\\TCPIP_";

// One scan over the present devices, as a single call makes it; in the
// adding mode `adapter` is not used. Returns true in every case.
bool ScanNetworkDevices(AdaptersInfo& adapters, NetworkAdapter& adapter, ScanMode mode);

// Walks the registry below `keyPath` (depth `depth` below DeviceClasses)
// for device interfaces of instance id `instanceId` whose TCP/IP binding is
// not linked, marking or adding the disabled adapter. False when `keyPath`
// cannot be opened or queried.
bool SearchDeviceClasses(AdaptersInfo& adapters, NetworkAdapter& temporary, const std::string& instanceId,
                         const std::string& keyPath, const std::string& classKeyPath, int depth);

// The scans of one collection run. The device list is fetched once; its
// network devices are read in list order only as far as a look-up needs,
// and remembered by instance id, so each is read once and a match is the
// first device with that id, as a fresh scan finds it. The device-interface
// keys are read once, when first needed.
class NetworkDeviceScanner {
public:
    explicit NetworkDeviceScanner(AdaptersInfo& adapters);
    ~NetworkDeviceScanner();

    // Reads `adapter`'s speed and duplex from the first network device
    // whose instance id is its Name.
    void Complete(NetworkAdapter& adapter);
    // Adds (or marks) every network device without a physical record whose
    // interface is not linked.
    void AddMissing();

private:
    // A network device's instance id and class key path, kept as spans of
    // one shared text rather than two allocations per device.
    struct NetDevice {
        size_t idAt, idLength;
        size_t pathAt, pathLength;
    };

    void FetchDevices();
    // Reads the next network devices of the list until one has `instanceId`
    // (its position) or the list ends (nullopt); all of them when null.
    std::optional<size_t> ReadDevicesUntil(const std::string* instanceId);
    void LoadInterfaceKeys();
    std::string_view InstanceId(const NetDevice& device) const {
        return std::string_view(texts_).substr(device.idAt, device.idLength);
    }
    std::string ClassKeyPath(const NetDevice& device) const { return texts_.substr(device.pathAt, device.pathLength); }

    AdaptersInfo& adapters_;
    std::optional<platform::PresentDevicesAnswer> list_;
    size_t listRead_ = 0;  // how many entries of the list have been read

    // The device with an instance id first, found by its position.
    size_t FirstWithId(std::string_view instanceId) const;

    std::vector<NetDevice> devices_;
    std::string texts_;
    PositionIndex firstDeviceWithId_;
    std::optional<std::unordered_map<std::string, std::vector<std::string>>> interfaceKeysByReference_;
    // The speed and duplex text read for a device, by its position: many
    // adapters of one instance id read one driver key, whose enumeration
    // may be long, once. A device's entry is there once it was read.
    std::vector<std::optional<std::optional<std::string>>> speedDuplexOfDevice_;
};

}  // namespace linkscope
