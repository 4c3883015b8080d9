#include "platform/linux/device_view.h"

#include <algorithm>
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

// Keys per device: the class key and three below the interface class, and
// four more down to the speed choices of a device that has a setting.
constexpr std::size_t kKeysPerDevice = 4;
constexpr std::size_t kKeysPerSpeedSetting = 4;

// Calls `visit(link, details, number)` for each interface that is a device,
// in index order.
template <class Visit>
void ForEachDevice(const NetworkSnapshot& snapshot, Visit visit) {
    static const DeviceDetails kNoDetails;
    std::size_t count = 0;
    for (const LinkRecord* link : LinksInIndexOrder(snapshot)) {
        const DeviceDetails* details = DetailsOf(snapshot, link->index);
        if (details == nullptr) details = &kNoDetails;
        if (details->driver.empty() && link->parentDevice.empty()) continue;
        visit(*link, *details, DeviceNumber(count++));
    }
}

class RegistryBuilder {
public:
    RegistryBuilder(std::size_t interfaces, std::size_t speedSettings) : store_(std::make_shared<RegistryStore>()) {
        store_->Reserve(16 + kKeysPerDevice * interfaces + kKeysPerSpeedSetting * speedSettings);
        netClass_ = store_->AddPath(RegistryStore::kRoot, std::string(platform::kClassRoot) + "\\" + platform::kNetClassGuid);
        interfaceClass_ =
            store_->AddPath(RegistryStore::kRoot, std::string(platform::kDeviceClassesRoot) + "\\" + kAdapterInterfaceClass);
    }

    void AddDevice(const LinkRecord& link, const DeviceDetails& details, const std::string& number) {
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

    std::shared_ptr<const RegistryStore> Finish() { return std::move(store_); }

private:
    std::shared_ptr<RegistryStore> store_;
    RegistryStore::KeyId netClass_ = 0;
    RegistryStore::KeyId interfaceClass_ = 0;
};

}  // namespace

std::vector<platform::DeviceRecord> PresentDevices(const NetworkSnapshot& snapshot) {
    std::vector<platform::DeviceRecord> devices;
    devices.reserve(snapshot.links.size());
    ForEachDevice(snapshot, [&](const LinkRecord&, const DeviceDetails&, const std::string& number) {
        devices.push_back({platform::kNetClassName, platform::kNetClassGuid, std::string(platform::kNetClassGuid) + "\\" + number});
    });
    return devices;
}

std::shared_ptr<const RegistryStore> BuildDeviceRegistry(const NetworkSnapshot& snapshot) {
    const auto speedSettings = static_cast<std::size_t>(
        std::count_if(snapshot.devices.begin(), snapshot.devices.end(),
                      [](const auto& device) { return SpeedDuplexOf(device.second).has_value(); }));
    RegistryBuilder builder(snapshot.links.size(), speedSettings);
    ForEachDevice(snapshot, [&](const LinkRecord& link, const DeviceDetails& details, const std::string& number) {
        builder.AddDevice(link, details, number);
    });
    return builder.Finish();
}

}  // namespace linkscope::live
