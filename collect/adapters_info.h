// The container of every adapter record of one collection run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collect/network_adapter.h"
#include "platform/adapter_identity.h"

namespace linkscope {

class AdaptersInfo {
public:
    AdaptersInfo() = default;
    AdaptersInfo(const AdaptersInfo&) = delete;
    AdaptersInfo& operator=(const AdaptersInfo&) = delete;
    // Deletes every record it holds.
    virtual ~AdaptersInfo();

    // Take ownership of `adapter` and append it to the end of its list.
    void AddPhysicalAdapter(PhysicalNetworkAdapter* adapter);
    void AddVirtualAdapter(VirtualNetworkAdapter* adapter);

    // Copies of the lists, in insertion order.
    std::vector<PhysicalNetworkAdapter*> GetPhysicalAdapters() const { return physical_; }
    std::vector<VirtualNetworkAdapter*> GetVirtualAdapters() const { return virtual_; }

    // The record an operating-system adapter belongs to, or null. By
    // hardware address: first a standalone physical record with this device
    // name or hardware address (team members are passed over), then a
    // virtual record with this device name, or with this hardware address
    // and a description (or vendor name when it has none) containing
    // `description`; with an empty `description`, a virtual record matches
    // by address only while its own device name is empty. By device name:
    // the first physical record (team members too: such a system reports a
    // team's members as adapters of their own), then the first virtual
    // record with this non-empty device name; address and description are
    // not compared. Exact, case-sensitive comparisons throughout.
    NetworkAdapter* FindAdapter(const std::string& macAddress, const std::string& deviceName,
                                const std::string& description,
                                platform::AdapterIdentity identity = platform::AdapterIdentity::kHardwareAddress) const;

    // Enumerates the operating system's adapters into the container and
    // adds disabled adapters from the device registry.
    void Collect();

    // Completes `adapter` with its driver's speed and duplex text from the
    // driver key at `classKeyPath` (relative to HKEY_LOCAL_MACHINE).
    void ReadSpeedDuplex(NetworkAdapter& adapter, const std::string& classKeyPath);

private:
    std::vector<PhysicalNetworkAdapter*> physical_;
    std::vector<VirtualNetworkAdapter*> virtual_;
};

}  // namespace linkscope
