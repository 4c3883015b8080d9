#include "collect/adapter_finder.h"

#include <algorithm>

#include "collect/adapter_matching.h"

namespace linkscope {
namespace {

size_t FirstOf(const KeyPositions::Positions* positions) {
    return positions && !positions->empty() ? positions->front() : SIZE_MAX;
}

}  // namespace

void AdapterFinder::Side::Add(NetworkAdapter* record) {
    const size_t position = records.size();
    records.push_back(record);
    if (!positions.empty()) positions.emplace(record, position);
    byDeviceId.Add(record->GetDeviceID(), position);
    if (indexAddresses) byMacAddress.Add(record->GetMacAddress(), position);
}

bool AdapterFinder::Side::Rekey(NetworkAdapter* record, const std::string& oldDeviceId,
                                const std::string& oldMacAddress) {
    if (positions.empty()) {
        // Built at the first change: most runs change no record's keys.
        positions.reserve(records.size());
        for (size_t position = 0; position < records.size(); ++position) positions.emplace(records[position], position);
    }
    const auto it = positions.find(record);
    if (it == positions.end()) return false;
    byDeviceId.Remove(oldDeviceId, it->second);
    byDeviceId.Add(record->GetDeviceID(), it->second);
    if (indexAddresses) {
        byMacAddress.Remove(oldMacAddress, it->second);
        byMacAddress.Add(record->GetMacAddress(), it->second);
    }
    return true;
}

AdapterFinder::AdapterFinder(const AdaptersInfo& adapters, platform::AdapterIdentity identity,
                             std::size_t expectedAppends)
    : byName_(identity == platform::AdapterIdentity::kDeviceName),
      physical_(adapters.GetPhysicalAdapters().size() + expectedAppends, !byName_),
      virtual_(adapters.GetVirtualAdapters().size(), !byName_) {
    for (PhysicalNetworkAdapter* record : adapters.GetPhysicalAdapters()) PhysicalAppended(record);
    for (VirtualNetworkAdapter* record : adapters.GetVirtualAdapters()) virtual_.Add(record);
}

void AdapterFinder::PhysicalAppended(PhysicalNetworkAdapter* record) {
    if (byName_ || !record->GetInTeam()) physical_.Add(record);
}

void AdapterFinder::KeysChanged(NetworkAdapter* record, const std::string& oldDeviceId,
                                const std::string& oldMacAddress) {
    if (!physical_.Rekey(record, oldDeviceId, oldMacAddress)) virtual_.Rekey(record, oldDeviceId, oldMacAddress);
}

NetworkAdapter* AdapterFinder::Find(const std::string& macAddress, const std::string& deviceName,
                                    const std::string& description) const {
    if (byName_) {
        if (deviceName.empty()) return nullptr;
        const size_t physical = FirstOf(physical_.byDeviceId.Find(deviceName));
        if (physical != SIZE_MAX) return physical_.records[physical];
        const size_t named = FirstOf(virtual_.byDeviceId.Find(deviceName));
        return named == SIZE_MAX ? nullptr : virtual_.records[named];
    }
    const size_t physical =
        std::min(FirstOf(physical_.byDeviceId.Find(deviceName)), FirstOf(physical_.byMacAddress.Find(macAddress)));
    if (physical != SIZE_MAX) return physical_.records[physical];

    // A virtual record matches by device name outright; by hardware address
    // only with the description rule, so every address candidate is checked
    // in list order until one passes or a device-name match comes first.
    const size_t byName = FirstOf(virtual_.byDeviceId.Find(deviceName));
    if (const Positions* sameAddress = virtual_.byMacAddress.Find(macAddress)) {
        for (size_t position : *sameAddress) {
            if (position > byName) break;
            const auto& record = static_cast<const VirtualNetworkAdapter&>(*virtual_.records[position]);
            if (VirtualRecordMatches(record, macAddress, deviceName, description)) return virtual_.records[position];
        }
    }
    return byName == SIZE_MAX ? nullptr : virtual_.records[byName];
}

}  // namespace linkscope
