#include "platform/sim/machine_layout.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace linkscope::sim {
namespace {


constexpr std::array<const char*, kInterfaceClassCount> kInterfaceClasses = {
    "{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}",
    "{ad498944-762f-11d0-8dcb-00c04fc3358c}",
    "{cac88484-7515-4c03-82e6-71a87abac361}",
};

struct SettingName {
    const char* valueName;
    std::optional<DriverSetting> NetworkDevice::*member;
};
constexpr std::array<SettingName, 2> kSettings = {{
    {"SpeedDuplex", &NetworkDevice::speedDuplex},
    {"RequestedMediaType", &NetworkDevice::requestedMediaType},
}};

std::string Number(std::size_t n) {
    char text[24];
    std::snprintf(text, sizeof text, "%04zu", n);
    return text;
}

class LayoutBuilder {
public:
    explicit LayoutBuilder(MachineLayout& layout) : layout_(layout), registry_(*layout.registry) {
        AddPath(std::string(platform::kClassRoot) + "\\" + platform::kNetClassGuid);
        for (const char* interfaceClass : kInterfaceClasses) {
            AddPath(std::string(platform::kDeviceClassesRoot) + "\\" + interfaceClass);
        }
    }

    void AddNetworkDevice(const std::string& guid, const NetworkDevice& device, bool linked) {
        const std::string number = Number(next_++);
        const std::string driverKey = std::string(platform::kNetClassGuid) + "\\" + number;
        layout_.devices.push_back({platform::kNetClassName, platform::kNetClassGuid, driverKey});
        const std::string classKeyPath = std::string(platform::kClassRoot) + "\\" + driverKey;
        const auto classKey = AddPath(classKeyPath);
        registry_.SetText(classKey, "NetCfgInstanceId", guid);
        if (device.driverDesc) registry_.SetText(classKey, "DriverDesc", *device.driverDesc);
        for (const SettingName& setting : kSettings) {
            if (const auto& value = device.*setting.member) AddSetting(classKey, classKeyPath, setting.valueName, *value);
        }
        const auto classes = std::min(device.interfaceClasses, kInterfaceClassCount);
        for (std::uint32_t c = 0; c < classes; ++c) {
            const std::string interfaceClass = kInterfaceClasses[c];
            const auto control = AddPath(std::string(platform::kDeviceClassesRoot) + "\\" + interfaceClass +
                                         "\\##?#ROOT#NET#" + number + "#" + interfaceClass + "\\#" + guid +
                                         "\\Control");
            registry_.SetDword(control, "Linked", linked ? 1 : 0);
        }
    }

private:
    platform::RegistryStore::KeyId AddPath(const std::string& path) {
        return registry_.AddPath(platform::RegistryStore::kRoot, path);
    }

    void AddSetting(platform::RegistryStore::KeyId classKey, const std::string& classKeyPath, const char* name,
                    const DriverSetting& setting) {
        registry_.SetText(classKey, name, setting.value);
        if (!setting.choices) return;
        const auto choices = AddPath(classKeyPath + "\\Ndi\\Params\\" + name + "\\enum");
        for (const auto& [code, text] : *setting.choices) registry_.SetText(choices, code, text);
    }

    MachineLayout& layout_;
    platform::RegistryStore& registry_;  // *layout_.registry
    std::size_t next_ = 0;
};

}  // namespace

MachineLayout LayOutMachine(const Machine& machine) {
    MachineLayout layout;
    LayoutBuilder builder(layout);
    for (const Adapter& adapter : machine.adapters) {
        if (adapter.device) builder.AddNetworkDevice(adapter.guid, *adapter.device, true);
    }
    for (const DisabledAdapter& adapter : machine.disabledAdapters) {
        builder.AddNetworkDevice(adapter.guid, adapter.device, false);
    }
    layout.devices.insert(layout.devices.end(), machine.devices.begin(), machine.devices.end());
    for (const RawKey& raw : machine.registry) {
        platform::RegistryStore& registry = *layout.registry;
        const auto key = registry.AddPath(platform::RegistryStore::kRoot, raw.path);
        for (const RawValue& value : raw.values) registry.SetValue(key, value.name, value.type, value.data);
        registry.SetFaults(key, raw.openResult, raw.queryInfoResult);
    }
    return layout;
}

}  // namespace linkscope::sim
