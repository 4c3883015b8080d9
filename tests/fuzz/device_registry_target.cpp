#include <string>

#include "fuzz_input.h"
#include "inventory.h"
#include "targets.h"

namespace linkscope::fuzz {
namespace {

const std::vector<std::string> kInterfaceClasses = {"{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}",
                                                    "{ad498944-762f-11d0-8dcb-00c04fc3358c}"};
const std::vector<std::string> kValueNames = {"DriverDesc", "NetCfgInstanceId", "SpeedDuplex", "RequestedMediaType",
                                              "Linked",     "0",                "1",           "4"};
const std::vector<std::string> kSettings = {"SpeedDuplex", "RequestedMediaType"};

// The four digits of a device's class key: 0000 to 0005.
std::string DeviceNumber(std::uint32_t n) { return std::to_string(10000 + n % 10000).substr(1); }

std::string ClassKeyPath(FuzzInput& in) {
    return std::string(platform::kClassRoot) + "\\" + platform::kNetClassGuid + "\\" + DeviceNumber(in.Below(6));
}

// A key where the readers look, or below one of them, or anywhere.
std::string KeyPath(FuzzInput& in) {
    switch (in.Below(6)) {
        case 0: return ClassKeyPath(in);
        case 1: {
            // Each part read in turn: the order of an expression's operands
            // is the compiler's.
            const std::string classKey = ClassKeyPath(in);
            return classKey + "\\Ndi\\Params\\" + in.TextOr(kSettings, 24) + "\\enum";
        }
        case 2: return std::string(platform::kDeviceClassesRoot) + "\\" + in.TextOr(kInterfaceClasses, 40);
        case 3: {
            const std::string interfaceClass = in.TextOr(kInterfaceClasses, 40);
            const std::string device = DeviceNumber(in.Below(6));
            return std::string(platform::kDeviceClassesRoot) + "\\" + interfaceClass + "\\##?#ROOT#NET#" + device +
                   "#" + interfaceClass + "\\" + in.CText(48);
        }
        case 4: {
            const std::string classKey = ClassKeyPath(in);
            return classKey + "\\" + in.CText(32);
        }
        default: return in.CText(120);
    }
}

platform::ResultCode Code(FuzzInput& in) {
    return in.Below(4) ? platform::kSuccess : in.Flag() ? platform::kAccessDenied : in.Number<platform::ResultCode>();
}

sim::RawKey Key(FuzzInput& in) {
    sim::RawKey key;
    key.path = KeyPath(in);
    for (std::uint32_t n = in.Below(4); n > 0; --n) {
        sim::RawValue value;
        value.name = in.TextOr(kValueNames, 24);
        value.type = in.Below(12);
        value.data = in.Bytes(300);
        key.values.push_back(std::move(value));
    }
    if (in.Below(8) == 0) key.openResult = Code(in);
    if (in.Below(8) == 0) key.queryInfoResult = Code(in);
    return key;
}

std::optional<std::string> MaybeText(FuzzInput& in, const std::string& usual) {
    const std::uint32_t pick = in.Below(3);
    if (pick == 0) return std::nullopt;
    return pick == 1 ? usual : in.CText(64);
}

sim::DriverSetting Setting(FuzzInput& in) {
    sim::DriverSetting setting;
    setting.value = in.Text(16);
    if (in.Flag()) {
        setting.choices.emplace();
        for (std::uint32_t n = in.Below(5); n > 0; --n) {
            const std::string code = in.CText(8);
            setting.choices->emplace_back(code, in.Text(24));
        }
    }
    return setting;
}

sim::NetworkDevice Device(FuzzInput& in) {
    sim::NetworkDevice device;
    if (in.Flag()) device.driverDesc = in.Text(64);
    if (in.Flag()) device.speedDuplex = Setting(in);
    if (in.Flag()) device.requestedMediaType = Setting(in);
    device.interfaceClasses = in.Below(4);
    return device;
}

void Change(FuzzInput& in, sim::Machine& machine) {
    switch (in.Below(6)) {
        case 0:
        case 1:
            machine.registry.push_back(Key(in));
            break;
        case 2: {
            platform::DeviceRecord record;
            record.className = MaybeText(in, platform::kNetClassName);
            record.classGuid = MaybeText(in, platform::kNetClassGuid);
            record.driverKey = MaybeText(in, std::string(platform::kNetClassGuid) + "\\" + DeviceNumber(in.Below(6)));
            machine.devices.push_back(std::move(record));
            break;
        }
        case 3:
            if (sim::Adapter* adapter = in.Pick(machine.adapters)) {
                if (in.Flag()) adapter->device = Device(in);
                if (in.Below(4) == 0) adapter->guid = in.CText(40);
            }
            break;
        case 4: {
            // A disabled adapter, often under an adapter's own name.
            sim::DisabledAdapter disabled;
            const sim::Adapter* named = machine.adapters.empty() || in.Flag() ? nullptr : in.Pick(machine.adapters);
            disabled.guid = named ? named->guid : in.CText(40);
            disabled.device = Device(in);
            machine.disabledAdapters.push_back(std::move(disabled));
            break;
        }
        case 5:
            machine.results.presentDevices = in.Below(4) != 0;
            break;
    }
}

}  // namespace

// Registry texts are read through buffers of at most 1024 bytes.
void DeviceRegistryTarget(const std::uint8_t* data, std::size_t size) {
    CheckChangedMachine(data, size, {"example.json", "disabled-and-quoted.json"}, Change, 1024);
}

}  // namespace linkscope::fuzz
