#include "platform/linux/device_view.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "platform/linux/interface_codes.h"

namespace linkscope::live {
namespace {

using platform::RegistryTree;

// The network adapter device interface class.
constexpr char kAdapterInterfaceClass[] = "{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";
constexpr char kInterfaceKeyStart[] = "##?#LINUX#NET#";

// At least four digits, zero-padded: 0000, 0001, ..., 10000.
std::string DeviceNumber(std::size_t n) {
    std::string digits = std::to_string(n);
    return digits.size() < 4 ? std::string(4 - digits.size(), '0') + digits : digits;
}

// The n that DeviceNumber writes as `text`, if any.
std::optional<std::size_t> DeviceNumberOf(std::string_view text) {
    if (text.size() < 4 || text.size() > 18 || (text.size() > 4 && text.front() == '0')) return std::nullopt;
    std::size_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = 10 * n + static_cast<std::size_t>(c - '0');
    }
    return n;
}

bool TakePrefix(std::string_view& text, std::string_view prefix) {
    if (text.substr(0, prefix.size()) != prefix) return false;
    text.remove_prefix(prefix.size());
    return true;
}

struct Device {
    const LinkRecord* link;
    const DeviceDetails* details;
    bool hasSpeedSetting;
};

// What the driver said of the interface; nothing known where it was not
// asked.
const DeviceDetails& DetailsOrNone(const NetworkSnapshot& snapshot, const LinkRecord& link) {
    static const DeviceDetails kNoDetails;
    const DeviceDetails* details = DetailsOf(snapshot, link.index);
    return details != nullptr ? *details : kNoDetails;
}

bool IsDevice(const LinkRecord& link, const DeviceDetails& details) {
    return !details.driver.empty() || !link.parentDevice.empty();
}

// Each interface that is a device, in index order.
std::vector<Device> DevicesOf(const NetworkSnapshot& snapshot) {
    std::vector<Device> devices;
    for (const LinkRecord* link : LinksInIndexOrder(snapshot)) {
        const DeviceDetails& details = DetailsOrNone(snapshot, *link);
        if (IsDevice(*link, details)) devices.push_back({link, &details, SpeedDuplexOf(details).has_value()});
    }
    return devices;
}

// The kinds of key. The first ones exist once; the others once per device,
// the last four of the class key's chain only for a device with a speed
// setting.
enum Kind : std::uint8_t {
    kRoot,
    kSystem,
    kCurrentControlSet,
    kControl,
    kClass,
    kNetClass,
    kDeviceClasses,
    kInterfaceClass,
    kFixedKinds,
    kClassKey = kFixedKinds,
    kNdi,
    kParams,
    kSpeedDuplexKey,
    kEnum,
    kInterfaceKey,
    kReference,
    kLinkControl,
};

struct FixedKey {
    Kind parent;
    const char* name;
};
// In the order in which each parent lists them.
constexpr std::array<FixedKey, kFixedKinds> kFixedKeys = {{
    {kRoot, ""},
    {kRoot, "SYSTEM"},
    {kSystem, "CurrentControlSet"},
    {kCurrentControlSet, "Control"},
    {kControl, "Class"},
    {kClass, platform::kNetClassGuid},
    {kControl, "DeviceClasses"},
    {kDeviceClasses, kAdapterInterfaceClass},
}};
constexpr std::array<const char*, 4> kSettingChain = {"Ndi", "Params", "SpeedDuplex", "enum"};

// The whole path of each fixed key.
const std::array<std::string, kFixedKinds>& FixedPaths() {
    static const std::array<std::string, kFixedKinds> paths = [] {
        std::array<std::string, kFixedKinds> made;
        for (std::size_t kind = kSystem; kind < kFixedKinds; ++kind) {
            const std::string& parent = made[kFixedKeys[kind].parent];
            made[kind] = (parent.empty() ? "" : parent + "\\") + kFixedKeys[kind].name;
        }
        return made;
    }();
    return paths;
}

// Keys are worked out from the snapshot when asked for, so that the view
// costs a few words per device however many are asked about. A key's id
// is its kind in the low byte and its device's position above it.
class DeviceRegistryTree final : public RegistryTree {
public:
    explicit DeviceRegistryTree(std::shared_ptr<const NetworkSnapshot> snapshot)
        : snapshot_(std::move(snapshot)), devices_(DevicesOf(*snapshot_)) {}

    std::optional<KeyId> Find(std::string_view path) const override {
        const auto& fixed = FixedPaths();
        for (std::size_t kind = kRoot; kind < kFixedKinds; ++kind) {
            if (path == fixed[kind]) return Id(static_cast<Kind>(kind), 0);
        }
        if (std::string_view below = path; TakePrefix(below, fixed[kNetClass]) && TakePrefix(below, "\\")) {
            return FindBelowClassKey(below);
        }
        if (std::string_view below = path; TakePrefix(below, fixed[kInterfaceClass]) && TakePrefix(below, "\\")) {
            return FindBelowInterfaceKey(below);
        }
        return std::nullopt;
    }

    std::size_t SubkeyCount(KeyId key) const override {
        switch (KindOf(key)) {
            case kControl: return 2;
            case kNetClass:
            case kInterfaceClass: return devices_.size();
            case kClassKey: return DeviceOf(key).hasSpeedSetting ? 1 : 0;
            case kEnum:
            case kLinkControl: return 0;
            default: return 1;
        }
    }

    std::size_t ValueCount(KeyId key) const override {
        switch (KindOf(key)) {
            case kClassKey: return DeviceOf(key).hasSpeedSetting ? 3 : 2;
            case kEnum:
            case kLinkControl: return 1;
            default: return 0;
        }
    }

    std::string SubkeyName(KeyId key, std::size_t index) const override {
        const Kind kind = KindOf(key);
        switch (kind) {
            case kControl: return index == 0 ? kFixedKeys[kClass].name : kFixedKeys[kDeviceClasses].name;
            case kNetClass: return DeviceNumber(index);
            case kInterfaceClass: return kInterfaceKeyStart + DeviceNumber(index) + "#" + kAdapterInterfaceClass;
            case kInterfaceKey: return "#" + DeviceOf(key).link->name;
            case kReference: return "Control";
            default: break;
        }
        if (kind >= kClassKey && kind < kEnum) return kSettingChain[kind - kClassKey];
        for (std::size_t child = kSystem; child < kFixedKinds; ++child) {
            if (kFixedKeys[child].parent == kind) return kFixedKeys[child].name;
        }
        return std::string();
    }

    Value ValueAt(KeyId key, std::size_t index) const override {
        Value value = ValueData(key, index);
        switch (KindOf(key)) {
            case kClassKey: value.name = kClassKeyValues[index]; break;
            case kEnum: value.name = SpeedDuplexOf(*DeviceOf(key).details)->code; break;
            default: value.name = "Linked";
        }
        return value;
    }

    // Names are compared before any value is made: the device scanner asks
    // every class key for settings that most devices do not have.
    std::optional<Value> FindValue(KeyId key, std::string_view name) const override {
        switch (KindOf(key)) {
            case kClassKey:
                for (std::size_t index = 0; index < ValueCount(key); ++index) {
                    if (name == kClassKeyValues[index]) return ValueData(key, index);
                }
                return std::nullopt;
            case kEnum:
                if (name == SpeedDuplexOf(*DeviceOf(key).details)->code) return ValueData(key, 0);
                return std::nullopt;
            case kLinkControl:
                if (name == "Linked") return ValueData(key, 0);
                return std::nullopt;
            default:
                return std::nullopt;
        }
    }

private:
    static KeyId Id(Kind kind, std::size_t device) { return device << 8 | kind; }
    static Kind KindOf(KeyId key) { return static_cast<Kind>(key & 0xFF); }
    // The device of a per-device key.
    const Device& DeviceOf(KeyId key) const { return devices_[key >> 8]; }

    static constexpr std::array<const char*, 3> kClassKeyValues = {"NetCfgInstanceId", "DriverDesc", "SpeedDuplex"};

    static Value Text(std::string_view text) { return {{}, platform::kRegSz, platform::RegistryTextData(text)}; }

    // The type and data of the value at `index`, without its name.
    Value ValueData(KeyId key, std::size_t index) const {
        const Device& device = DeviceOf(key);  // every key with values is a device's
        switch (KindOf(key)) {
            case kClassKey:
                if (index == 0) return Text(device.link->name);
                if (index == 1) return Text(DescriptionOf(*device.link, device.details));
                return Text(SpeedDuplexOf(*device.details)->code);
            case kEnum:
                return Text(SpeedDuplexOf(*device.details)->text);
            default:
                return {{}, platform::kRegDword, platform::RegistryDwordData((device.link->flags & kFlagUp) ? 1 : 0)};
        }
    }

    // The position of the device numbered `number`.
    std::optional<std::size_t> DevicePosition(std::string_view number) const {
        const auto n = DeviceNumberOf(number);
        if (!n || *n >= devices_.size()) return std::nullopt;
        return n;
    }

    // `path` follows the class key folder: "NNNN" and the setting's chain.
    std::optional<KeyId> FindBelowClassKey(std::string_view path) const {
        const std::string_view number = path.substr(0, path.find('\\'));
        const auto device = DevicePosition(number);
        if (!device) return std::nullopt;
        path.remove_prefix(number.size());
        if (path.empty()) return Id(kClassKey, *device);
        if (!devices_[*device].hasSpeedSetting) return std::nullopt;
        for (std::size_t step = 0; step < kSettingChain.size(); ++step) {
            if (!TakePrefix(path, "\\") || !TakePrefix(path, kSettingChain[step])) return std::nullopt;
            if (path.empty()) return Id(static_cast<Kind>(kNdi + step), *device);
        }
        return std::nullopt;
    }

    // `path` follows the interface class folder: the device's interface,
    // its reference "#<interface name>" and the reference's Control key.
    std::optional<KeyId> FindBelowInterfaceKey(std::string_view path) const {
        if (!TakePrefix(path, kInterfaceKeyStart)) return std::nullopt;
        const std::string_view number = path.substr(0, path.find('#'));
        const auto device = DevicePosition(number);
        path.remove_prefix(number.size());
        if (!device || !TakePrefix(path, "#") || !TakePrefix(path, kAdapterInterfaceClass)) return std::nullopt;
        if (path.empty()) return Id(kInterfaceKey, *device);
        if (!TakePrefix(path, "\\#") || !TakePrefix(path, devices_[*device].link->name)) return std::nullopt;
        if (path.empty()) return Id(kReference, *device);
        if (path == "\\Control") return Id(kLinkControl, *device);
        return std::nullopt;
    }

    std::shared_ptr<const NetworkSnapshot> snapshot_;  // what devices_ point into
    std::vector<Device> devices_;
};

}  // namespace

std::vector<platform::DeviceRecord> PresentDevices(const NetworkSnapshot& snapshot) {
    // Only the number of devices matters here, not their order.
    const auto count = static_cast<std::size_t>(std::count_if(
        snapshot.links.begin(), snapshot.links.end(),
        [&snapshot](const LinkRecord& link) { return IsDevice(link, DetailsOrNone(snapshot, link)); }));
    std::vector<platform::DeviceRecord> devices;
    devices.reserve(count);
    for (std::size_t n = 0; n < count; ++n) {
        std::string driverKey;
        driverKey.reserve(sizeof platform::kNetClassGuid + 8);
        driverKey.append(platform::kNetClassGuid).append(1, '\\').append(DeviceNumber(n));
        devices.push_back({platform::kNetClassName, platform::kNetClassGuid, std::move(driverKey)});
    }
    return devices;
}

std::shared_ptr<const platform::RegistryTree> DeviceRegistry(std::shared_ptr<const NetworkSnapshot> snapshot) {
    return std::make_shared<DeviceRegistryTree>(std::move(snapshot));
}

}  // namespace linkscope::live
