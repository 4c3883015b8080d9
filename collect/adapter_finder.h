// FindAdapter's answer through hash indexes, for enumeration's many
// look-ups: the same first-match result as AdaptersInfo::FindAdapter under
// the same identity rule, without walking both lists per adapter. The owner
// reports every record it appends and every change of a record's device
// name or hardware address.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

#include "collect/adapters_info.h"
#include "collect/key_positions.h"

namespace linkscope {

class AdapterFinder {
public:
    // `expectedAppends`: how many records the owner may append, so that
    // the indexes are sized once.
    explicit AdapterFinder(const AdaptersInfo& adapters,
                           platform::AdapterIdentity identity = platform::AdapterIdentity::kHardwareAddress,
                           std::size_t expectedAppends = 0);

    NetworkAdapter* Find(const std::string& macAddress, const std::string& deviceName,
                         const std::string& description) const;

    void PhysicalAppended(PhysicalNetworkAdapter* record);
    void KeysChanged(NetworkAdapter* record, const std::string& oldDeviceId, const std::string& oldMacAddress);

private:
    using Positions = KeyPositions::Positions;

    // One list's records by position, and positions by key, in list order;
    // by hardware address only where addresses identify adapters.
    struct Side {
        Side(std::size_t expected, bool indexAddresses)
            : byDeviceId(expected), byMacAddress(indexAddresses ? expected : 0), indexAddresses(indexAddresses) {}

        std::vector<NetworkAdapter*> records;
        std::unordered_map<const NetworkAdapter*, size_t> positions;  // filled only by Rekey's first call
        KeyPositions byDeviceId;
        KeyPositions byMacAddress;
        bool indexAddresses;

        void Add(NetworkAdapter* record);
        bool Rekey(NetworkAdapter* record, const std::string& oldDeviceId, const std::string& oldMacAddress);
    };

    bool byName_;  // device names alone identify adapters
    // Under the hardware-address rule only records that are not team
    // members, which that rule never returns.
    Side physical_;
    Side virtual_;
};

}  // namespace linkscope
