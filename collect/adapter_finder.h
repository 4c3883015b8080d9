// FindAdapter's answer through hash indexes, for enumeration's many
// look-ups: the same first-match result as AdaptersInfo::FindAdapter
// without walking both lists per adapter. The owner reports every record it
// appends and every change of a record's device name or hardware address.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "collect/adapters_info.h"

namespace linkscope {

class AdapterFinder {
public:
    explicit AdapterFinder(const AdaptersInfo& adapters);

    NetworkAdapter* Find(const std::string& macAddress, const std::string& deviceName,
                         const std::string& description) const;

    void PhysicalAppended(PhysicalNetworkAdapter* record);
    void KeysChanged(NetworkAdapter* record, const std::string& oldDeviceId, const std::string& oldMacAddress);

private:
    // Positions of the records with one key, ascending.
    using Positions = std::vector<size_t>;

    // One list's records by position, and positions by key, in list order.
    struct Side {
        std::vector<NetworkAdapter*> records;
        std::unordered_map<const NetworkAdapter*, size_t> positions;
        std::unordered_map<std::string, Positions> byDeviceId;
        std::unordered_map<std::string, Positions> byMacAddress;

        void Add(NetworkAdapter* record);
        bool Rekey(NetworkAdapter* record, const std::string& oldDeviceId, const std::string& oldMacAddress);
        const Positions* WithDeviceId(const std::string& key) const;
        const Positions* WithMacAddress(const std::string& key) const;
    };

    Side physical_;  // only records that are not team members: those are never a result
    Side virtual_;
};

}  // namespace linkscope
