// The chip id of a Broadcom adapter as the host's PCI devices name it. The
// class "QRXSG_PCIDevice" belongs to another provider of the host, which
// may not be installed.
#pragma once

#include <string>

#include <boost/shared_ptr.hpp>

#include "kvl/interfaces.h"

namespace linkscope::provider {

// Walks the PCI devices the host enumerates; for each, the first chip id
// (in the order of BroadcomChipIds) that its "PciDeviceID" or its
// "Description" contains, both read as decimal text and lower-cased, the
// device id tested first. The last device that names a chip decides; empty
// when none does or when the host does not know the class (status 15).
// Any other host exception passes on and ends the query, as does a device
// without either property (through the host's assertion handler).
std::string FindPciChipId(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns);

}  // namespace linkscope::provider
