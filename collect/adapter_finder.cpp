#include "collect/adapter_finder.h"

#include <algorithm>

#include "collect/adapter_matching.h"

namespace linkscope {
namespace {

using Positions = std::vector<size_t>;

void Insert(Positions& positions, size_t position) {
    positions.insert(std::lower_bound(positions.begin(), positions.end(), position), position);
}

void Erase(std::unordered_map<std::string, Positions>& index, const std::string& key, size_t position) {
    auto it = index.find(key);
    if (it == index.end()) return;
    Positions& positions = it->second;
    const auto at = std::lower_bound(positions.begin(), positions.end(), position);
    if (at != positions.end() && *at == position) positions.erase(at);
    if (positions.empty()) index.erase(it);
}

size_t FirstOf(const Positions* positions) {
    return positions && !positions->empty() ? *positions->begin() : SIZE_MAX;
}

}  // namespace

void AdapterFinder::Side::Add(NetworkAdapter* record) {
    const size_t position = records.size();
    records.push_back(record);
    positions.emplace(record, position);
    // Appended positions are the largest so far: they go at the end.
    byDeviceId[record->GetDeviceID()].push_back(position);
    byMacAddress[record->GetMacAddress()].push_back(position);
}

bool AdapterFinder::Side::Rekey(NetworkAdapter* record, const std::string& oldDeviceId,
                                const std::string& oldMacAddress) {
    const auto it = positions.find(record);
    if (it == positions.end()) return false;
    Erase(byDeviceId, oldDeviceId, it->second);
    Erase(byMacAddress, oldMacAddress, it->second);
    Insert(byDeviceId[record->GetDeviceID()], it->second);
    Insert(byMacAddress[record->GetMacAddress()], it->second);
    return true;
}

const Positions* AdapterFinder::Side::WithDeviceId(const std::string& key) const {
    const auto it = byDeviceId.find(key);
    return it == byDeviceId.end() ? nullptr : &it->second;
}

const Positions* AdapterFinder::Side::WithMacAddress(const std::string& key) const {
    const auto it = byMacAddress.find(key);
    return it == byMacAddress.end() ? nullptr : &it->second;
}

AdapterFinder::AdapterFinder(const AdaptersInfo& adapters) {
    for (PhysicalNetworkAdapter* record : adapters.GetPhysicalAdapters()) PhysicalAppended(record);
    for (VirtualNetworkAdapter* record : adapters.GetVirtualAdapters()) virtual_.Add(record);
}

void AdapterFinder::PhysicalAppended(PhysicalNetworkAdapter* record) {
    if (!record->GetInTeam()) physical_.Add(record);
}

void AdapterFinder::KeysChanged(NetworkAdapter* record, const std::string& oldDeviceId,
                                const std::string& oldMacAddress) {
    if (!physical_.Rekey(record, oldDeviceId, oldMacAddress)) virtual_.Rekey(record, oldDeviceId, oldMacAddress);
}

NetworkAdapter* AdapterFinder::Find(const std::string& macAddress, const std::string& deviceName,
                                    const std::string& description) const {
    const size_t physical =
        std::min(FirstOf(physical_.WithDeviceId(deviceName)), FirstOf(physical_.WithMacAddress(macAddress)));
    if (physical != SIZE_MAX) return physical_.records[physical];

    // A virtual record matches by device name outright; by hardware address
    // only with the description rule, so every address candidate is checked
    // in list order until one passes or a device-name match comes first.
    const size_t byName = FirstOf(virtual_.WithDeviceId(deviceName));
    if (const Positions* sameAddress = virtual_.WithMacAddress(macAddress)) {
        for (size_t position : *sameAddress) {
            if (position > byName) break;
            const auto& record = static_cast<const VirtualNetworkAdapter&>(*virtual_.records[position]);
            if (VirtualRecordMatches(record, macAddress, deviceName, description)) return virtual_.records[position];
        }
    }
    return byName == SIZE_MAX ? nullptr : virtual_.records[byName];
}

}  // namespace linkscope
