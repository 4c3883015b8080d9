// Reading a machine description file into a Machine.
#include "platform/registry_store.h"
#include "platform/sim/adapter_fields.h"
#include "platform/sim/address_parsing.h"
#include "platform/sim/json_fields.h"
#include "platform/sim/kernel_link_fields.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_file.h"
#include "platform/sim/nic_library_fields.h"
#include "platform/sim/pci_device_fields.h"
#include "platform/sim/teaming_provider_fields.h"

namespace linkscope::sim {
namespace {

constexpr std::size_t kHostTextChars = 131;        // the system's fixed host and domain fields
constexpr std::size_t kDevicePropertyChars = 1023;  // what fits the collectors' 1024-byte buffers
constexpr std::size_t kMaxKeyNameChars = 255;
constexpr std::size_t kMaxEnvironmentName = 32767;
constexpr std::size_t kMaxEnvironmentValue = 65535;

platform::FixedInfo ReadHost(const Field& field) {
    const Record record(field, {"hostName", "domainName", "enableRouting", "enableProxy"});
    platform::FixedInfo host;
    record.Read("hostName", kHostTextChars, &host.hostName);
    record.Read("domainName", kHostTextChars, &host.domainName);
    record.Read("enableRouting", &host.enableRouting);
    record.Read("enableProxy", &host.enableProxy);
    return host;
}

OsVersion ReadOs(const Field& field) {
    const Record record(field, {"major", "minor", "fail"});
    OsVersion os;
    record.Read("major", &os.major);
    record.Read("minor", &os.minor);
    bool fail = false;
    record.Read("fail", &fail);
    os.ok = !fail;
    return os;
}

CallResults ReadResults(const Field& field) {
    const Record record(field, {"GetNetworkParams", "GetAdaptersInfo", "GetInterfaceInfo", "GetIfTable",
                                "GetAdaptersAddresses", "GetPresentDevices"});
    CallResults results;
    record.Read("GetNetworkParams", &results.networkParams);
    if (auto code = record.Get("GetAdaptersInfo")) results.adaptersInfo = code->Uint32();
    record.Read("GetInterfaceInfo", &results.interfaceInfo);
    record.Read("GetIfTable", &results.ifTable);
    record.Read("GetAdaptersAddresses", &results.adaptersAddresses);
    record.Read("GetPresentDevices", &results.presentDevices);
    return results;
}

std::map<std::string, std::string> ReadEnvironment(const Field& field) {
    std::map<std::string, std::string> environment;
    for (const auto& [name, value] : field.Entries()) {
        // The system keeps hidden variables such as "=C:" whose name starts with "=".
        if (name.empty() || name.size() > kMaxEnvironmentName || name.find('=', 1) != std::string::npos) {
            value.Fail("a variable name has 1 to 32767 characters and no \"=\" after its first");
        }
        environment[name] = value.Text(kMaxEnvironmentValue);
    }
    return environment;
}

std::vector<platform::DeviceRecord> ReadDevices(const Field& list) {
    std::vector<platform::DeviceRecord> devices;
    for (const Field& item : list.Items()) {
        const Record record(item, {"class", "classGuid", "driverKey"});
        platform::DeviceRecord device;
        if (auto text = record.Get("class")) device.className = text->Text(kDevicePropertyChars);
        if (auto text = record.Get("classGuid")) device.classGuid = text->Text(kDevicePropertyChars);
        if (auto text = record.Get("driverKey")) device.driverKey = text->Text(kDevicePropertyChars);
        devices.push_back(std::move(device));
    }
    return devices;
}

bool IsKeyPath(const std::string& path) {
    std::size_t start = 0;
    while (true) {
        const auto end = path.find('\\', start);
        const std::size_t length = (end == std::string::npos ? path.size() : end) - start;
        if (length == 0 || length > kMaxKeyNameChars) return false;
        if (end == std::string::npos) return true;
        start = end + 1;
    }
}

// A string is REG_SZ (stored with its NUL), an integer REG_DWORD (four
// little-endian bytes), {"hex": "...", "type": N} raw data of any type
// (REG_BINARY unless given).
RawValue ReadRawValue(const std::string& name, const Field& field) {
    if (field.Value().is_string()) {
        return {name, platform::kRegSz, platform::RegistryTextData(field.Text(kMaxRegistryData - 1))};
    }
    if (field.Value().is_number_unsigned()) return {name, platform::kRegDword, platform::RegistryDwordData(field.Uint32())};
    if (!field.Value().is_object()) {
        field.Fail("expected a string, an integer from 0 to 4294967295 or {\"hex\": \"...\"}");
    }
    const Record record(field, {"hex", "type"});
    RawValue value{name, platform::kRegBinary, {}};
    record.Read("type", &value.type);
    const Field hex = record.Require("hex");
    const auto bytes = ParseHexBytes(hex.Text(3 * kMaxRegistryData));
    if (!bytes) hex.Fail("expected hex bytes like \"00ff\"");
    if (bytes->size() > kMaxRegistryData) hex.Fail("more than 1048576 bytes");
    value.data = *bytes;
    return value;
}

std::vector<RawKey> ReadRegistry(const Field& field) {
    std::vector<RawKey> keys;
    for (const auto& [path, content] : field.Entries()) {
        if (!IsKeyPath(path)) content.Fail("expected key names of 1 to 255 characters joined by single \"\\\"");
        RawKey key{path, {}, platform::kSuccess, platform::kSuccess};
        for (const auto& [name, value] : content.Entries()) {
            if (name == "@openResult") {
                key.openResult = value.Uint32();
            } else if (name == "@queryInfoResult") {
                key.queryInfoResult = value.Uint32();
            } else if (name.size() > 1 && name[0] == '@' && name[1] != '@') {
                value.Fail("unknown key setting (known: @openResult, @queryInfoResult)");
            } else {
                // "@@name" is the value "@name".
                const std::string valueName = name.size() > 1 && name[0] == '@' ? name.substr(1) : name;
                if (valueName.size() > kMaxValueNameChars) value.Fail("value name longer than 16383 characters");
                key.values.push_back(ReadRawValue(valueName, value));
            }
        }
        keys.push_back(std::move(key));
    }
    return keys;
}

// "system" in place of a section: the machine's own software answers.
bool IsSystem(const Field& field) {
    if (!field.Value().is_string()) return false;
    if (field.Text(16) != "system") field.Fail("expected an object, or \"system\" for the machine's own");
    return true;
}

}  // namespace

std::shared_ptr<const Machine> ParseMachine(const std::string& text, const std::string& origin) {
    const Json document = ParseJsonText(text, origin);
    const Field root(document, "", origin);
    const Record record(root, {"about", "host", "os", "environment", "results", "ipv6Available", "adapters",
                               "disabledAdapters", "devices", "registry", "nicLibrary", "wow64", "teamingProvider",
                               "kernelLinks", "pciDevices"});
    auto machine = std::make_shared<Machine>();
    if (auto about = record.Get("about")) about->Text(kMaxRegistryData);
    if (auto host = record.Get("host")) machine->host = ReadHost(*host);
    if (auto os = record.Get("os")) machine->os = ReadOs(*os);
    if (auto environment = record.Get("environment")) machine->environment = ReadEnvironment(*environment);
    if (auto results = record.Get("results")) machine->results = ReadResults(*results);
    record.Read("ipv6Available", &machine->ipv6Available);
    if (auto adapters = record.Get("adapters")) machine->adapters = ReadAdapters(*adapters);
    if (auto disabled = record.Get("disabledAdapters")) machine->disabledAdapters = ReadDisabledAdapters(*disabled);
    if (auto devices = record.Get("devices")) machine->devices = ReadDevices(*devices);
    if (auto registry = record.Get("registry")) machine->registry = ReadRegistry(*registry);
    if (auto library = record.Get("nicLibrary")) {
        machine->nicLibraryFromSystem = IsSystem(*library);
        if (!machine->nicLibraryFromSystem) machine->nicLibrary = ReadNicLibrary(*library);
    }
    record.Read("wow64", &machine->wow64);
    if (auto provider = record.Get("teamingProvider")) {
        machine->teamingProviderFromSystem = IsSystem(*provider);
        if (!machine->teamingProviderFromSystem) machine->teamingProvider = ReadTeamingProvider(*provider);
    }
    if (auto links = record.Get("kernelLinks")) machine->kernelLinks = ReadKernelLinks(*links);
    if (auto pci = record.Get("pciDevices")) machine->pciDevices = ReadPciDevices(*pci);
    return machine;
}

}  // namespace linkscope::sim
