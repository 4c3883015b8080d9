#include "collect/device_scanner.h"

#include <functional>

#include "collect/log.h"
#include "collect/speed_duplex.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "platform/registry_text.h"

namespace linkscope {
namespace {

constexpr std::uint32_t kInstanceIdBufferSize = 8192;
constexpr std::uint32_t kMaxKeyNameChars = 255;
constexpr std::uint32_t kLinkedBufferSize = 4;
constexpr std::uint32_t kDescriptionBufferSize = 1024;
constexpr std::uint32_t kDescriptionGrowth = 1024;
// A driver description is a line of text; anything asking for more than
// this is refused rather than allocated.
constexpr std::uint32_t kMaxDescriptionSize = 1u << 20;
constexpr std::int32_t kDisabledState = 3;
// An instance id (a GUID in braces) and a class key path, in bytes.
constexpr std::size_t kTypicalDeviceTexts = 128;

// The physical records that disabled devices mark or extend, found by
// device name instead of walking the list for each device. The index is
// built at the first look-up: most runs have no disabled device at all.
class PhysicalRecordIndex {
public:
    explicit PhysicalRecordIndex(AdaptersInfo& adapters) : adapters_(adapters) {}

    // Marks every record with this device name disabled; false when none has it.
    // The records marked are dropped from the index: a device may be found
    // under many interface keys, and marking them again changes nothing.
    bool MarkDisabled(const std::string& deviceId) {
        if (!built_) Build();
        const auto it = byDeviceId_.find(deviceId);
        if (it == byDeviceId_.end()) return false;
        for (PhysicalNetworkAdapter* record : it->second) record->SetEnabledState(kDisabledState);
        it->second.clear();
        return true;
    }

    void Add(PhysicalNetworkAdapter* record) {
        adapters_.AddPhysicalAdapter(record);
        if (built_) Index(record);
    }

private:
    void Build() {
        built_ = true;
        const std::vector<PhysicalNetworkAdapter*> records = adapters_.GetPhysicalAdapters();
        byDeviceId_.reserve(records.size());
        for (PhysicalNetworkAdapter* record : records) Index(record);
    }
    void Index(PhysicalNetworkAdapter* record) { byDeviceId_[record->GetDeviceID()].push_back(record); }

    AdaptersInfo& adapters_;
    bool built_ = false;
    std::unordered_map<std::string, std::vector<PhysicalNetworkAdapter*>> byDeviceId_;
};

using InterfaceKeyVisitor = std::function<void(const std::string& path, const std::string& reference)>;

// Visits every device interface key (depth 2) below `keyPath` with the name
// of its first subkey. A key that cannot be opened or queried ends only its
// own branch.
bool WalkDeviceClasses(platform::RegistryApi& registry, const std::string& keyPath, int depth,
                       const InterfaceKeyVisitor& visit) {
    platform::RegistryKey key(registry, keyPath, platform::kKeyAllAccess);
    std::uint32_t subkeys = 0;
    std::uint32_t values = 0;
    if (!key.IsOpen() || registry.QueryInfoKey(key.Handle(), &subkeys, &values) != platform::kSuccess) {
        return false;
    }
    if (subkeys == 0) return true;
    if (depth < 2) {
        for (std::uint32_t index = 0; index < subkeys; ++index) {
            std::string name;
            if (registry.EnumKey(key.Handle(), index, kMaxKeyNameChars, &name) != platform::kSuccess) continue;
            WalkDeviceClasses(registry, keyPath + "\\" + name, depth + 1, visit);
        }
        return true;
    }
    std::string reference;
    if (registry.EnumKey(key.Handle(), 0, kMaxKeyNameChars, &reference) == platform::kSuccess) {
        visit(keyPath, reference);
    }
    return true;
}

bool InterfaceIsLinked(platform::RegistryApi& registry, const std::string& controlPath) {
    platform::RegistryKey control(registry, controlPath, platform::kKeyQueryValue);
    if (!control.IsOpen()) return true;
    const platform::RegValue linked = registry.QueryValue(control.Handle(), "Linked", kLinkedBufferSize);
    return !(linked.result == platform::kSuccess && !linked.data.empty() && linked.data[0] == 0);
}

std::string ReadDriverDescription(platform::RegistryApi& registry, const platform::RegistryKey& classKey,
                                  const std::string& classKeyPath) {
    std::uint32_t size = kDescriptionBufferSize;
    for (;;) {
        const platform::RegValue value = registry.QueryValue(classKey.Handle(), "DriverDesc", size);
        if (value.result != platform::kMoreData) {
            return value.result == platform::kSuccess ? platform::RegistryText(value.data) : std::string();
        }
        if (value.needed > kMaxDescriptionSize) {
            Log(kLogDetail, Format("DriverDesc of %s asks for %u bytes; ignored", classKeyPath.c_str(), value.needed));
            return std::string();
        }
        size = value.needed + kDescriptionGrowth;
    }
}

// A device interface of the device `instanceId` was found below
// `interfaceKeyPath`; if its TCP/IP binding is not linked, the adapter is
// disabled: marked on the records that stand for it, or added.
// Returns true when it added a record.
bool HandleDeviceInterface(AdaptersInfo& adapters, PhysicalRecordIndex& records, NetworkAdapter& temporary,
                           const std::string& instanceId, const std::string& interfaceKeyPath,
                           const std::string& reference, const std::string& classKeyPath) {
    platform::RegistryApi& registry = platform::Current().Registry();
    if (InterfaceIsLinked(registry, interfaceKeyPath + "\\" + reference + "\\Control")) return false;
    if (records.MarkDisabled(kDeviceNamePrefix + instanceId)) return false;

    temporary.SetName(instanceId);
    temporary.SetEnabledState(kDisabledState);
    {
        platform::RegistryKey classKey(registry, classKeyPath, platform::kKeyAllAccess);
        if (classKey.IsOpen()) {
            const std::string description = ReadDriverDescription(registry, classKey, classKeyPath);
            temporary.SetDescription(description);
            temporary.SetOtherIdentifyingInfo(description);
            temporary.SetDeviceID(kDeviceNamePrefix + instanceId);
        }
    }
    adapters.ReadSpeedDuplex(temporary, classKeyPath);
    records.Add(new PhysicalNetworkAdapter(temporary));
    return true;
}

}  // namespace

bool SearchDeviceClasses(AdaptersInfo& adapters, NetworkAdapter& temporary, const std::string& instanceId,
                         const std::string& keyPath, const std::string& classKeyPath, int depth) {
    PhysicalRecordIndex records(adapters);
    const std::string wanted = "#" + instanceId;
    return WalkDeviceClasses(platform::Current().Registry(), keyPath, depth,
                             [&](const std::string& path, const std::string& reference) {
                                 if (reference != wanted) return;
                                 HandleDeviceInterface(adapters, records, temporary, instanceId, path,
                                                       reference, classKeyPath);
                             });
}

bool ScanNetworkDevices(AdaptersInfo& adapters, NetworkAdapter& adapter, ScanMode mode) {
    NetworkDeviceScanner scanner(adapters);
    if (mode == ScanMode::kComplete) {
        scanner.Complete(adapter);
    } else {
        scanner.AddMissing();
    }
    return true;
}

NetworkDeviceScanner::NetworkDeviceScanner(AdaptersInfo& adapters) : adapters_(adapters) {}

NetworkDeviceScanner::~NetworkDeviceScanner() = default;

void NetworkDeviceScanner::FetchDevices() {
    if (list_) return;
    list_ = platform::Current().DeviceSetup().GetPresentDevices();
    devices_.reserve(list_->devices.size());
    texts_.reserve(list_->devices.size() * kTypicalDeviceTexts);
}

std::optional<size_t> NetworkDeviceScanner::ReadDevicesUntil(const std::string* instanceId) {
    platform::RegistryApi& registry = platform::Current().Registry();
    while (listRead_ < list_->devices.size()) {
        // Taken out of the list, so that its texts are freed while still in cache.
        const platform::DeviceRecord device = std::move(list_->devices[listRead_++]);
        if (!device.className || *device.className != platform::kNetClassName) continue;
        if (!device.classGuid || *device.classGuid != platform::kNetClassGuid) continue;
        if (!device.driverKey) continue;
        std::string classKeyPath;
        classKeyPath.reserve(sizeof platform::kClassRoot + device.driverKey->size());
        classKeyPath.append(platform::kClassRoot).append(1, '\\').append(*device.driverKey);
        platform::RegistryKey classKey(registry, classKeyPath, platform::kKeyRead);
        if (!classKey.IsOpen()) continue;
        const platform::RegValue id = registry.QueryValue(classKey.Handle(), "NetCfgInstanceId", kInstanceIdBufferSize);
        const std::string text = id.result == platform::kSuccess ? platform::RegistryText(id.data) : std::string();
        const NetDevice net{texts_.size(), text.size(), texts_.size() + text.size(), classKeyPath.size()};
        texts_ += text;
        texts_ += classKeyPath;
        devices_.push_back(net);
        const size_t position = devices_.size() - 1;
        const bool first =
            firstDeviceWithId_.Emplace(text, position, [this](size_t at) { return InstanceId(devices_[at]); }).second;
        if (first && instanceId != nullptr && text == *instanceId) return position;
    }
    return std::nullopt;
}

void NetworkDeviceScanner::LoadInterfaceKeys() {
    if (interfaceKeysByReference_) return;
    interfaceKeysByReference_.emplace();
    WalkDeviceClasses(platform::Current().Registry(), platform::kDeviceClassesRoot, 0,
                      [this](const std::string& path, const std::string& reference) {
                          (*interfaceKeysByReference_)[reference].push_back(path);
                      });
}

size_t NetworkDeviceScanner::FirstWithId(std::string_view instanceId) const {
    return firstDeviceWithId_.Find(instanceId, [this](size_t at) { return InstanceId(devices_[at]); });
}

void NetworkDeviceScanner::Complete(NetworkAdapter& adapter) {
    FetchDevices();
    if (!list_->ok) Log(kLogDetail, "INVALID_HANDLE_VALUE");
    const std::string name = adapter.GetName();
    std::optional<size_t> position;
    if (const size_t known = FirstWithId(name); known != PositionIndex::npos) {
        position = known;
    } else {
        position = ReadDevicesUntil(&name);
    }
    if (!position) return;
    if (speedDuplexOfDevice_.size() <= *position) speedDuplexOfDevice_.resize(devices_.size());
    auto& read = speedDuplexOfDevice_[*position];
    if (!read) read = DriverSpeedDuplexText(ClassKeyPath(devices_[*position]));
    if (*read && adapter.GetSpeedDuplex().empty()) adapter.SetSpeedDuplex(**read);
}

void NetworkDeviceScanner::AddMissing() {
    FetchDevices();
    if (!list_->ok) Log(kLogDetail, "INVALID_HANDLE_VALUE");
    ReadDevicesUntil(nullptr);
    // Which instance ids have a physical record of that name, flagged at the
    // position of the first device with the id.
    std::vector<bool> hasRecord(devices_.size(), false);
    const auto markName = [&](const std::string& name) {
        const size_t first = FirstWithId(name);
        if (first != PositionIndex::npos) hasRecord[first] = true;
    };
    for (const PhysicalNetworkAdapter* record : adapters_.GetPhysicalAdapters()) markName(record->GetName());

    PhysicalRecordIndex records(adapters_);
    for (size_t at = 0; at < devices_.size(); ++at) {
        const NetDevice& device = devices_[at];
        // A later device with an earlier one's id meets the same interface
        // keys in the same state: where the first added no record, it adds
        // none and marks nothing that is not marked already.
        const size_t first = FirstWithId(InstanceId(device));
        if (first != at || hasRecord[first]) continue;
        LoadInterfaceKeys();
        const std::string instanceId(InstanceId(device));
        const auto found = interfaceKeysByReference_->find("#" + instanceId);
        if (found == interfaceKeysByReference_->end()) continue;
        const std::string classKeyPath = ClassKeyPath(device);
        NetworkAdapter temporary;
        for (const std::string& path : found->second) {
            if (HandleDeviceInterface(adapters_, records, temporary, instanceId, path, found->first, classKeyPath)) {
                markName(instanceId);
            }
        }
    }
}

}  // namespace linkscope
