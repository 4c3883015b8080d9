#include "platform/linux/device_view.h"

#include <string>

#include "platform/linux/interface_codes.h"

namespace linkscope::live {
namespace {

// The network adapter device interface class.
constexpr char kAdapterInterfaceClass[] = "{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";

// At least four digits, zero-padded: 0000, 0001, ..., 10000.
std::string DeviceNumber(std::size_t n) {
    std::string digits = std::to_string(n);
    return digits.size() < 4 ? std::string(4 - digits.size(), '0') + digits : digits;
}

// Keys per device: the class key, four down to its enumeration, three
// below the interface class.
constexpr std::size_t kKeysPerDevice = 8;

class ViewBuilder {
public:
    explicit ViewBuilder(std::size_t interfaces) : store_(std::make_shared<RegistryStore>()) {
        store_->Reserve(16 + kKeysPerDevice * interfaces);
        view_.devices.reserve(interfaces);
        netClass_ = store_->AddPath(RegistryStore::kRoot, std::string(platform::kClassRoot) + "\\" + platform::kNetClassGuid);
        interfaceClass_ =
            store_->AddPath(RegistryStore::kRoot, std::string(platform::kDeviceClassesRoot) + "\\" + kAdapterInterfaceClass);
    }

    void AddDevice(const LinkRecord& link, const DeviceDetails& details) {
        const std::string number = DeviceNumber(view_.devices.size());
        view_.devices.push_back({platform::kNetClassName, platform::kNetClassGuid, std::string(platform::kNetClassGuid) + "\\" + number});

        const auto classKey = store_->AddKey(netClass_, number);
        store_->SetText(classKey, "NetCfgInstanceId", link.name);
        store_->SetText(classKey, "DriverDesc", DescriptionOf(link, &details));
        if (const auto setting = SpeedDuplexOf(details)) {
            store_->SetText(classKey, "SpeedDuplex", setting->code);
            const auto choices = store_->AddPath(classKey, "Ndi\\Params\\SpeedDuplex\\enum");
            store_->SetText(choices, setting->code, setting->text);
        }

        const auto interfaceKey = store_->AddKey(
            interfaceClass_, "##?#LINUX#NET#" + number + "#" + kAdapterInterfaceClass);
        const auto reference = store_->AddKey(interfaceKey, "#" + link.name);
        store_->SetDword(store_->AddKey(reference, "Control"), "Linked", (link.flags & kFlagUp) ? 1 : 0);
    }

    DeviceView Finish() {
        view_.registry = std::move(store_);
        return std::move(view_);
    }

private:
    DeviceView view_;
    std::shared_ptr<RegistryStore> store_;
    RegistryStore::KeyId netClass_ = 0;
    RegistryStore::KeyId interfaceClass_ = 0;
};

}  // namespace

DeviceView BuildDeviceView(const NetworkSnapshot& snapshot) {
    static const DeviceDetails kNoDetails;
    ViewBuilder builder(snapshot.links.size());
    for (const LinkRecord* link : LinksInIndexOrder(snapshot)) {
        const DeviceDetails* details = DetailsOf(snapshot, link->index);
        if (details == nullptr) details = &kNoDetails;
        if (details->driver.empty() && link->parentDevice.empty()) continue;
        builder.AddDevice(*link, *details);
    }
    return builder.Finish();
}

}  // namespace linkscope::live
