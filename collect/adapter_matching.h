// The rule that binds an operating-system adapter to a team's virtual record.
#pragma once

#include <string>

#include "collect/network_adapter.h"

namespace linkscope {

// Same device name; or same hardware address and a description (the vendor
// name when the record has none) containing `description`, or, with an
// empty `description`, a record without a device name of its own.
inline bool VirtualRecordMatches(const VirtualNetworkAdapter& record, const std::string& macAddress,
                                 const std::string& deviceName, const std::string& description) {
    if (record.GetDeviceID() == deviceName) return true;
    if (record.GetMacAddress() != macAddress) return false;
    if (description.empty()) return record.GetDeviceID().empty();
    std::string own = record.GetDescription();
    if (own.empty()) own = record.GetVendorName();
    return own.find(description) != std::string::npos;
}

}  // namespace linkscope
