#include "platform/sim/adapter_fields.h"

#include <string>

#include "platform/sim/address_parsing.h"

namespace linkscope::sim {
namespace {

// Sizes of the system's fixed text fields, without their terminating NUL.
constexpr std::size_t kAdapterNameChars = 259;
constexpr std::size_t kDescriptionChars = 131;
constexpr std::size_t kDeviceNameChars = 127;
constexpr std::size_t kMaxMacBytes = 8;

// A dotted IPv4 address in its plain form, or the empty text the system
// leaves in an address field that has nothing to hold.
std::optional<std::string> AddressText(const std::string& text) {
    if (text.empty()) return text;
    const auto address = ParseIpv4(text);
    if (!address) return std::nullopt;
    return FormatIpv4(*address);
}

std::string ReadIpv4Text(const Field& field) {
    auto text = AddressText(field.Text(kMaxRegistryData));
    if (!text) field.Fail("expected a dotted IPv4 address like \"10.0.0.1\"");
    return std::move(*text);
}

std::vector<std::string> ReadIpv4Texts(const Field& list) {
    std::vector<std::string> texts;
    for (const Field& item : list.Items()) texts.push_back(ReadIpv4Text(item));
    return texts;
}

// A dotted mask of any bits (the system reports a mask that is not
// contiguous as it was configured), a prefix length from 0 to 32, or empty.
std::optional<std::string> ParseMask(const std::string& text) {
    if (auto dotted = AddressText(text)) return dotted;
    if (text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    const int length = std::stoi(text);
    if (length > 32) return std::nullopt;
    return FormatIpv4(MaskOfPrefix(length));
}

// "ADDRESS/MASK" with a dotted mask or a prefix length; either part may be
// empty.
platform::IpAddressString ReadAddressWithMask(const Field& field) {
    const std::string text = field.Text(kMaxRegistryData);
    const auto slash = text.find('/');
    auto address = AddressText(text.substr(0, slash));
    if (!address || slash == std::string::npos) {
        field.Fail("expected \"ADDRESS/MASK\" like \"10.0.0.5/255.255.255.0\" or \"10.0.0.5/24\"");
    }
    const std::string maskText = text.substr(slash + 1);
    auto mask = ParseMask(maskText);
    if (!mask) field.Fail("mask \"" + Printable(maskText) + "\" is neither dotted nor a prefix length from 0 to 32");
    return {std::move(*address), std::move(*mask)};
}

std::vector<std::uint8_t> ReadMac(const Field& field) {
    const auto bytes = ParseHexBytes(field.Text(kMaxRegistryData));
    if (!bytes) field.Fail("expected hex bytes like \"00-1A-2B-3C-4D-5E\"");
    if (bytes->size() > kMaxMacBytes) {
        field.Fail("at most 8 bytes, got " + std::to_string(bytes->size()));
    }
    return *bytes;
}

DriverSetting ReadSetting(const Field& field) {
    const Record record(field, {"value", "enum"});
    DriverSetting setting;
    setting.value = record.Require("value").Text(kMaxRegistryData);
    if (auto choices = record.Get("enum")) {
        setting.choices.emplace();
        for (const auto& [name, text] : choices->Entries()) {
            if (name.size() > kMaxValueNameChars) text.Fail("value name longer than 16383 characters");
            setting.choices->emplace_back(name, text.Text(kMaxRegistryData));
        }
    }
    return setting;
}

// The device fields shared by an adapter's "device" and a disabled adapter.
NetworkDevice ReadDevice(const Record& record) {
    NetworkDevice device;
    if (auto desc = record.Get("driverDesc")) device.driverDesc = desc->Text(kMaxRegistryData);
    if (auto setting = record.Get("speedDuplex")) device.speedDuplex = ReadSetting(*setting);
    if (auto setting = record.Get("requestedMediaType")) device.requestedMediaType = ReadSetting(*setting);
    if (auto classes = record.Get("interfaceClasses")) {
        device.interfaceClasses = classes->Uint32();
        if (device.interfaceClasses > kInterfaceClassCount) {
            classes->Fail("at most " + std::to_string(kInterfaceClassCount) + " interface classes");
        }
    }
    return device;
}

void ReadDhcp(const Record& record, Adapter* adapter) {
    const auto dhcp = record.Get("dhcp");
    const auto server = record.Get("dhcpServer");
    adapter->dhcp = dhcp ? dhcp->Bool() : server.has_value();
    if (server) adapter->dhcpServer = ReadIpv4Text(*server);
}

void ReadLists(const Record& record, Adapter* adapter) {
    if (auto wins = record.Get("wins")) {
        adapter->wins = ReadIpv4Texts(*wins);
        if (adapter->wins.size() > 2) wins->Fail("at most 2 addresses, the primary and the secondary server");
    }
    if (auto ipv4 = record.Get("ipv4")) {
        for (const Field& item : ipv4->Items()) adapter->ipv4.push_back(ReadAddressWithMask(item));
    }
    if (auto gateways = record.Get("gateways")) adapter->gateways = ReadIpv4Texts(*gateways);
    if (auto dns = record.Get("dns")) adapter->dns = ReadIpv4Texts(*dns);
    if (auto ipv6 = record.Get("ipv6")) {
        adapter->ipv6 = ParseIpv6(ipv6->Text(kMaxRegistryData));
        if (!adapter->ipv6) ipv6->Fail("expected an IPv6 address like \"fe80::21a:2bff:fe3c:4d5e\"");
    }
}

Adapter ReadAdapter(const Field& field) {
    const Record record(field, {"guid", "deviceName", "description", "mac", "index", "type", "mtu",
                                "operStatus", "dhcp", "dhcpServer", "wins", "ipv4", "gateways", "dns",
                                "autoconfig", "ipv6", "perAdapterResult", "inAdaptersInfo",
                                "inInterfaceInfo", "inIfTable", "inAdaptersAddresses", "device"});
    Adapter adapter;
    adapter.guid = record.Require("guid").Text(kAdapterNameChars);
    record.Read("deviceName", kDeviceNameChars, &adapter.deviceName);
    record.Read("description", kDescriptionChars, &adapter.description);
    if (auto mac = record.Get("mac")) adapter.mac = ReadMac(*mac);
    adapter.index = record.Require("index").Uint32();
    record.Read("type", &adapter.type);
    record.Read("mtu", &adapter.mtu);
    record.Read("operStatus", &adapter.operStatus);
    ReadDhcp(record, &adapter);
    ReadLists(record, &adapter);
    if (auto autoconfig = record.Get("autoconfig")) {
        const Record flags(*autoconfig, {"enabled", "active"});
        flags.Read("enabled", &adapter.autoconfig.enabled);
        flags.Read("active", &adapter.autoconfig.active);
    }
    record.Read("perAdapterResult", &adapter.perAdapterResult);
    record.Read("inAdaptersInfo", &adapter.inAdaptersInfo);
    record.Read("inInterfaceInfo", &adapter.inInterfaceInfo);
    record.Read("inIfTable", &adapter.inIfTable);
    record.Read("inAdaptersAddresses", &adapter.inAdaptersAddresses);
    if (auto device = record.Get("device")) {
        adapter.device = ReadDevice(Record(*device, {"driverDesc", "speedDuplex", "requestedMediaType",
                                                     "interfaceClasses"}));
        if (!adapter.device->driverDesc) adapter.device->driverDesc = adapter.description;
    }
    return adapter;
}

}  // namespace

std::vector<Adapter> ReadAdapters(const Field& list) {
    std::vector<Adapter> adapters;
    for (const Field& item : list.Items()) adapters.push_back(ReadAdapter(item));
    return adapters;
}

std::vector<DisabledAdapter> ReadDisabledAdapters(const Field& list) {
    std::vector<DisabledAdapter> adapters;
    for (const Field& item : list.Items()) {
        const Record record(item, {"guid", "driverDesc", "speedDuplex", "requestedMediaType",
                                   "interfaceClasses"});
        adapters.push_back({record.Require("guid").Text(kAdapterNameChars), ReadDevice(record)});
    }
    return adapters;
}

}  // namespace linkscope::sim
