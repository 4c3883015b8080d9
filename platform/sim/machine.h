// A simulated machine as plain data: what its IP configuration interface,
// device list, registry and environment answer. ParseMachine fills it from a
// machine description file and checks every value; a Machine built in code
// is taken as it is.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/device_registry.h"
#include "platform/ip_helper.h"
#include "platform/kernel_links.h"
#include "platform/sim/nic_library.h"
#include "platform/sim/pci_devices.h"
#include "platform/sim/teaming_provider.h"
#include "platform/result_codes.h"

namespace linkscope::sim {

// A driver parameter of an adapter's class key ("SpeedDuplex" or
// "RequestedMediaType"): its current value and the driver's list of the
// values it accepts, each with its display text.
struct DriverSetting {
    std::string value;  // REG_SZ, e.g. "0"
    // Entries of the "...\Ndi\Params\<name>\enum" key in this order; no
    // such key at all when absent.
    std::optional<std::vector<std::pair<std::string, std::string>>> choices;
};

// How many interface classes the simulated registry knows.
inline constexpr std::uint32_t kInterfaceClassCount = 3;

// A network-class device: an entry of the device list, its class key in the
// registry and its TCP/IP interface below "DeviceClasses".
struct NetworkDevice {
    std::optional<std::string> driverDesc;  // no "DriverDesc" value when absent
    std::optional<DriverSetting> speedDuplex;
    std::optional<DriverSetting> requestedMediaType;
    // How many interface classes register the device's interface (at most
    // the number of known classes; more are left out).
    std::uint32_t interfaceClasses = 1;
};

struct Autoconfig {
    bool enabled = true;
    bool active = false;
};

// One adapter as IP Helper reports it.
struct Adapter {
    std::string guid;        // adapter name, "{...}"
    std::string deviceName;  // interface name; empty: "\DEVICE\TCPIP_" + guid
    std::string description;
    std::vector<std::uint8_t> mac;  // at most 8 bytes
    std::uint32_t index = 0;
    std::uint32_t type = 6;
    std::uint32_t mtu = 1500;
    std::uint32_t operStatus = 5;
    bool dhcp = false;
    std::string dhcpServer;          // dotted, or empty
    std::vector<std::string> wins;   // presence turns WINS on; at most 2
    std::vector<platform::IpAddressString> ipv4;  // dotted address and mask
    std::vector<std::string> gateways;
    std::vector<std::string> dns;
    Autoconfig autoconfig;
    std::optional<std::array<std::uint8_t, 16>> ipv6;  // first unicast address
    platform::ResultCode perAdapterResult = platform::kSuccess;
    // Which answers list the adapter.
    bool inAdaptersInfo = true;
    bool inInterfaceInfo = true;
    bool inIfTable = true;
    bool inAdaptersAddresses = true;
    std::optional<NetworkDevice> device;  // its device, linked to TCP/IP
};

// A network device IP Helper does not report; its interface is not linked.
struct DisabledAdapter {
    std::string guid;
    NetworkDevice device;
};

// Final result codes of the calls; a non-zero code empties that answer.
struct CallResults {
    platform::ResultCode networkParams = platform::kSuccess;
    // Unset: success, or "no data" (232) when no adapter is listed, as the
    // system answers.
    std::optional<platform::ResultCode> adaptersInfo;
    platform::ResultCode interfaceInfo = platform::kSuccess;
    platform::ResultCode ifTable = platform::kSuccess;
    platform::ResultCode adaptersAddresses = platform::kSuccess;
    bool presentDevices = true;  // false: the device list cannot be had
};

struct OsVersion {
    bool ok = true;  // false: the version query fails
    std::uint32_t major = 10;
    std::uint32_t minor = 0;
};

// One registry value given as raw data.
struct RawValue {
    std::string name;
    std::uint32_t type = platform::kRegNone;
    std::vector<std::uint8_t> data;
};

// A registry key added after the generated ones (created with its parents,
// or merged into an existing key: a value of the same name is replaced).
struct RawKey {
    std::string path;  // below HKEY_LOCAL_MACHINE, parts joined by "\"
    std::vector<RawValue> values;
    platform::ResultCode openResult = platform::kSuccess;       // non-zero: OpenKey fails
    platform::ResultCode queryInfoResult = platform::kSuccess;  // non-zero: QueryInfoKey fails
};

struct Machine {
    platform::FixedInfo host;
    OsVersion os;
    std::map<std::string, std::string> environment;
    CallResults results;
    bool ipv6Available = true;  // false: the IPv6 address query cannot be resolved
    std::vector<Adapter> adapters;
    std::vector<DisabledAdapter> disabledAdapters;
    // Further devices of the device list, after the network devices above.
    std::vector<platform::DeviceRecord> devices;
    std::vector<RawKey> registry;
    // The NIC management library as installed; without one, loading it
    // fails as for a module that is not there.
    std::optional<NicLibrary> nicLibrary;
    // The machine's own NIC library and teaming provider answer instead,
    // through the live backend's calls (machine file: "system").
    bool nicLibraryFromSystem = false;
    bool teamingProviderFromSystem = false;
    bool wow64 = false;  // the process runs as a 32-bit process on a 64-bit system
    // The teaming provider's WMI objects; without it, its namespace does
    // not exist.
    std::optional<TeamingProvider> teamingProvider;
    // The kernel's bonds, teams and VLANs. A machine that has them is a
    // Linux machine: its adapters are identified by their device names.
    std::optional<std::vector<platform::KernelLink>> kernelLinks;
    // The host's PCI devices; without them the host does not know their class.
    std::optional<PciDevices> pciDevices;
};

}  // namespace linkscope::sim
