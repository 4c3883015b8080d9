// FindAdapter's answer through hash indexes, for enumeration's many
// look-ups: the same first-match result as AdaptersInfo::FindAdapter under
// the same identity rule, without walking the lists per adapter. The owner
// reports every record it appends and every change of a record's device
// name, hardware address or description.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "collect/adapters_info.h"
#include "collect/first_positions.h"
#include "collect/pattern_set.h"
#include "collect/range_first_positions.h"

namespace linkscope {

class AdapterFinder {
public:
    // `descriptions`: the descriptions Find will be asked with. A virtual
    // record is indexed under the longest of them ending at each position
    // of its own text, so that a look-up by address and description is one
    // range look-up; one asked with any other description walks the
    // virtual records.
    // `expectedAppends`: how many records the owner may append, so that
    // the indexes are sized once.
    explicit AdapterFinder(const AdaptersInfo& adapters,
                           platform::AdapterIdentity identity = platform::AdapterIdentity::kHardwareAddress,
                           const std::vector<std::string_view>& descriptions = {}, std::size_t expectedAppends = 0);

    NetworkAdapter* Find(const std::string& macAddress, const std::string& deviceName, const std::string& description);

    void PhysicalAppended(PhysicalNetworkAdapter* record);
    void KeysChanged(NetworkAdapter* record);

private:
    // One list's records by position, with each record's stamp, bumped at
    // every change (see FirstPositions).
    struct Side {
        std::vector<NetworkAdapter*> records;
        std::vector<std::uint32_t> stamps;
        std::unordered_map<const NetworkAdapter*, std::uint32_t> positions;  // filled at the first change

        std::uint32_t Append(NetworkAdapter* record);
        // The position of `record` with its stamp bumped; npos when it is not on this side.
        std::size_t Restamp(const NetworkAdapter* record);
    };

    // What a virtual record's text was last indexed under.
    struct IndexedText {
        std::string macAddress;
        bool vendorName = false;  // the text was its vendor name, which never changes
    };

    void IndexPhysical(std::uint32_t position);
    void IndexVirtual(std::uint32_t position);
    // Indexes the virtual record's text anew unless it is still the vendor
    // name under the same address, whose entries stand.
    void IndexText(std::uint32_t position, bool first);
    // The first virtual record matching by hardware address and a
    // description outside the pattern set, before position `before`.
    std::size_t WalkVirtual(const std::string& macAddress, const std::string& deviceName,
                            const std::string& description, std::size_t before) const;

    bool byName_;  // device names alone identify adapters
    // Under the hardware-address rule only records that are not team
    // members, which that rule never returns.
    Side physical_;
    FirstPositions physicalByDeviceId_;
    FirstPositions physicalByMacAddress_;

    Side virtual_;
    FirstPositions virtualByDeviceId_;
    // Virtual records without a device name, by hardware address: those
    // an empty description binds.
    FirstPositions unnamedByMacAddress_;
    PatternSet descriptions_;
    // Virtual records by hardware address at the ids of the longest asked
    // descriptions ending in their text, with stamps of their own.
    RangeFirstPositions virtualByText_;
    std::vector<IndexedText> indexedTexts_;
    std::vector<std::uint32_t> textStamps_;
};

}  // namespace linkscope
