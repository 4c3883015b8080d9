#include "collect/adapter_finder.h"

#include <algorithm>

#include "collect/adapter_matching.h"

namespace linkscope {
namespace {

constexpr std::size_t npos = FirstPositions::npos;

// The text the description rule searches: the description, or the vendor
// name when there is none.
std::string OwnText(const VirtualNetworkAdapter& record) {
    return record.GetDescription().empty() ? record.GetVendorName() : record.GetDescription();
}

}  // namespace

std::uint32_t AdapterFinder::Side::Append(NetworkAdapter* record) {
    const auto position = static_cast<std::uint32_t>(records.size());
    records.push_back(record);
    stamps.push_back(0);
    if (!positions.empty()) positions.emplace(record, position);
    return position;
}

std::size_t AdapterFinder::Side::Restamp(const NetworkAdapter* record) {
    if (positions.empty()) {
        // Built at the first change: most runs change no record's keys.
        positions.reserve(records.size());
        for (std::uint32_t at = 0; at < records.size(); ++at) positions.emplace(records[at], at);
    }
    const auto it = positions.find(record);
    if (it == positions.end()) return npos;
    ++stamps[it->second];
    return it->second;
}

AdapterFinder::AdapterFinder(const AdaptersInfo& adapters, platform::AdapterIdentity identity,
                             const std::vector<std::string_view>& descriptions, std::size_t expectedAppends)
    : byName_(identity == platform::AdapterIdentity::kDeviceName),
      physicalByDeviceId_(adapters.GetPhysicalAdapters().size() + expectedAppends),
      physicalByMacAddress_(byName_ ? 0 : adapters.GetPhysicalAdapters().size() + expectedAppends),
      virtualByDeviceId_(adapters.GetVirtualAdapters().size()) {
    const std::vector<VirtualNetworkAdapter*> virtualRecords = adapters.GetVirtualAdapters();
    // Without virtual records no description is ever compared.
    if (!byName_ && !virtualRecords.empty()) {
        descriptions_ = PatternSet(descriptions);
        virtualByText_ = RangeFirstPositions(descriptions_.Size());
        indexedTexts_.resize(virtualRecords.size());
        textStamps_.resize(virtualRecords.size());
    }
    for (PhysicalNetworkAdapter* record : adapters.GetPhysicalAdapters()) PhysicalAppended(record);
    for (VirtualNetworkAdapter* record : virtualRecords) {
        const std::uint32_t position = virtual_.Append(record);
        IndexVirtual(position);
        if (!byName_) IndexText(position, true);
    }
}

void AdapterFinder::IndexPhysical(std::uint32_t position) {
    const NetworkAdapter& record = *physical_.records[position];
    const std::uint32_t stamp = physical_.stamps[position];
    physicalByDeviceId_.Add(record.GetDeviceID(), position, stamp);
    if (!byName_) physicalByMacAddress_.Add(record.GetMacAddress(), position, stamp);
}

void AdapterFinder::IndexVirtual(std::uint32_t position) {
    const auto& record = static_cast<const VirtualNetworkAdapter&>(*virtual_.records[position]);
    const std::uint32_t stamp = virtual_.stamps[position];
    virtualByDeviceId_.Add(record.GetDeviceID(), position, stamp);
    if (byName_) return;
    if (record.GetDeviceID().empty()) unnamedByMacAddress_.Add(record.GetMacAddress(), position, stamp);
}

void AdapterFinder::IndexText(std::uint32_t position, bool first) {
    const auto& record = static_cast<const VirtualNetworkAdapter&>(*virtual_.records[position]);
    IndexedText& indexed = indexedTexts_[position];
    const bool vendorName = record.GetDescription().empty();
    std::string macAddress = record.GetMacAddress();
    if (!first && vendorName && indexed.vendorName && indexed.macAddress == macAddress) return;
    indexed.vendorName = vendorName;
    indexed.macAddress = std::move(macAddress);
    const std::uint32_t stamp = ++textStamps_[position];
    virtualByText_.Add(indexed.macAddress, descriptions_.LongestEndingIn(OwnText(record)), position, stamp);
}

void AdapterFinder::PhysicalAppended(PhysicalNetworkAdapter* record) {
    if (byName_ || !record->GetInTeam()) IndexPhysical(physical_.Append(record));
}

void AdapterFinder::KeysChanged(NetworkAdapter* record) {
    if (const std::size_t position = physical_.Restamp(record); position != npos) {
        IndexPhysical(static_cast<std::uint32_t>(position));
    } else if (const std::size_t position = virtual_.Restamp(record); position != npos) {
        IndexVirtual(static_cast<std::uint32_t>(position));
        if (!byName_) IndexText(static_cast<std::uint32_t>(position), false);
    }
}

std::size_t AdapterFinder::WalkVirtual(const std::string& macAddress, const std::string& deviceName,
                                       const std::string& description, std::size_t before) const {
    for (std::size_t position = 0; position < before && position < virtual_.records.size(); ++position) {
        const auto& record = static_cast<const VirtualNetworkAdapter&>(*virtual_.records[position]);
        if (VirtualRecordMatches(record, macAddress, deviceName, description)) return position;
    }
    return npos;
}

NetworkAdapter* AdapterFinder::Find(const std::string& macAddress, const std::string& deviceName,
                                    const std::string& description) {
    if (byName_) {
        if (deviceName.empty()) return nullptr;
        const size_t physical = physicalByDeviceId_.First(deviceName, physical_.stamps);
        if (physical != npos) return physical_.records[physical];
        const size_t named = virtualByDeviceId_.First(deviceName, virtual_.stamps);
        return named == npos ? nullptr : virtual_.records[named];
    }
    const size_t physical = std::min(physicalByDeviceId_.First(deviceName, physical_.stamps),
                                     physicalByMacAddress_.First(macAddress, physical_.stamps));
    if (physical != npos) return physical_.records[physical];

    // A virtual record matches by device name outright, or by hardware
    // address with the description rule: the first of either.
    const size_t byName = virtualByDeviceId_.First(deviceName, virtual_.stamps);
    size_t byAddress = npos;
    if (description.empty()) {
        byAddress = unnamedByMacAddress_.First(macAddress, virtual_.stamps);
    } else if (const std::uint32_t id = descriptions_.IdOf(description); id != PatternSet::npos) {
        byAddress = virtualByText_.First(macAddress, id, descriptions_.EndOf(id), textStamps_);
    } else {
        byAddress = WalkVirtual(macAddress, deviceName, description, byName);
    }
    const size_t first = std::min(byName, byAddress);
    return first == npos ? nullptr : virtual_.records[first];
}

}  // namespace linkscope
