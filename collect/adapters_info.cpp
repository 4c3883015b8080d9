#include "collect/adapters_info.h"

#include "collect/adapter_matching.h"

namespace linkscope {

AdaptersInfo::~AdaptersInfo() {
    for (PhysicalNetworkAdapter* adapter : physical_) delete adapter;
    for (VirtualNetworkAdapter* adapter : virtual_) delete adapter;
}

void AdaptersInfo::AddPhysicalAdapter(PhysicalNetworkAdapter* adapter) { physical_.push_back(adapter); }

void AdaptersInfo::AddVirtualAdapter(VirtualNetworkAdapter* adapter) { virtual_.push_back(adapter); }

NetworkAdapter* AdaptersInfo::FindAdapter(const std::string& macAddress, const std::string& deviceName,
                                          const std::string& description, platform::AdapterIdentity identity) const {
    if (identity == platform::AdapterIdentity::kDeviceName) {
        if (deviceName.empty()) return nullptr;
        for (PhysicalNetworkAdapter* record : physical_) {
            if (record->GetDeviceID() == deviceName) return record;
        }
        for (VirtualNetworkAdapter* record : virtual_) {
            if (record->GetDeviceID() == deviceName) return record;
        }
        return nullptr;
    }
    for (PhysicalNetworkAdapter* record : physical_) {
        const bool candidate = record->GetDeviceID() == deviceName || record->GetMacAddress() == macAddress;
        if (candidate && !record->GetInTeam()) return record;
    }
    for (VirtualNetworkAdapter* record : virtual_) {
        if (VirtualRecordMatches(*record, macAddress, deviceName, description)) return record;
    }
    return nullptr;
}

}  // namespace linkscope
