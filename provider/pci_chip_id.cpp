#include "provider/pci_chip_id.h"

#include <vector>

#include "kvl/core.h"
#include "provider/firmware_text.h"

namespace linkscope::provider {
namespace {

using NQRXKVL20::ICIMInstance;
using NQRXKVL20::TCIMPropertyMap;

constexpr char kPciDeviceClass[] = "QRXSG_PCIDevice";

std::string LowerText(ICIMInstance& device, const char* property) {
    return LowerCase(device.GetProperty(property, TCIMPropertyMap())->GetValue(TCIMPropertyMap()).ToString(10));
}

}  // namespace

std::string FindPciChipId(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns) {
    std::string answer;
    TCIMPropertyMap context;
    context[NQRXKVL20::TCIMSchemaHelper::kContextName] =
        NQRXKVL20::TCIMValue(NQRXKVL20::TCIMSchemaHelper::kPluginNSPName);

    boost::shared_ptr<NQRXKVL20::ICIMClass> devices;
    try {
        devices = ns->GetClass(kPciDeviceClass, context);
    } catch (const NQRXKVL20::TKVLException& error) {
        // No PCI provider on this host: the adapter's own texts must do.
        if (error.GetStatusCode() == NQRXKVL20::kKVLStatusInvalidClass) return answer;
        throw NQRXKVL20::TKVLException(error);
    }
    std::vector<boost::shared_ptr<ICIMInstance>> found;
    devices->EnumerateInstances(NQRXKVL20::TAddToVectorCallback<ICIMInstance>(&found), true, TCIMPropertyMap());

    for (const boost::shared_ptr<ICIMInstance>& device : found) {
        const std::string deviceId = LowerText(*device, "PciDeviceID");
        const std::string description = LowerText(*device, "Description");
        for (const std::string_view chip : BroadcomChipIds) {
            if (deviceId.find(chip) != std::string::npos || description.find(chip) != std::string::npos) {
                answer = chip;
                break;
            }
        }
    }
    return answer;
}

}  // namespace linkscope::provider
