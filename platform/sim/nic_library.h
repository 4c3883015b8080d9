// A simulated Broadcom NIC management library as plain data: the teams,
// team virtual adapters and physical adapters it knows, and the faults it
// injects. The simulated entry points (sim_bmapi.h) build the library's
// records from it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/bmapi_abi.h"
#include "platform/result_codes.h"

namespace linkscope::sim {

// Bytes written over a record after it is built, for records no well-behaved
// library would return (a text without its NUL, a count past the record).
struct RawPatch {
    std::uint32_t offset = 0;
    std::vector<std::uint8_t> bytes;
};

// Result codes of successive calls; the last one repeats. Empty: success.
using CallCodes = std::vector<platform::ResultCode>;
using NicCallResults = std::map<bmapi::Entry, CallCodes>;

struct NicTeamVirtualAdapter {
    std::uint32_t handle = 0;
    std::string name;
    std::string ip;
    std::string mask;
    std::uint32_t driverState = 1;
    std::string mac;  // bare hex digits
    std::uint32_t vlanId = 0;
    std::string vlanName;
    std::uint32_t adapterState = 4;
    std::optional<std::uint32_t> teamId;  // default: the team's own
    CallCodes result;                     // of BmapiGetBrcmVirNic
    std::vector<RawPatch> raw;
};

struct NicTeam {
    std::string name;
    std::uint32_t id = 0;
    std::uint32_t type = 0;
    std::optional<std::uint32_t> virtualAdapterCount;  // default: the list's length
    std::vector<NicTeamVirtualAdapter> virtualAdapters;
    std::vector<RawPatch> raw;
};

// The records of one physical adapter that raw patches can change.
enum class AdapterRecordKind { kAdapter, kExtended, kSecondFunction, kFirmware, kAsf };

struct NicAdapter {
    std::uint32_t handle = 0;
    bool listed = true;  // false: reachable only as another adapter's second function
    std::uint32_t type = 2;
    std::string title;
    std::string productName;
    std::uint32_t memberType = 0;
    std::string description;
    std::uint32_t dhcp = 0;
    std::string ip;
    std::string mask;
    std::string gateway;
    std::uint32_t driverLoaded = 1;
    std::string currentMac;    // bare hex digits
    std::string permanentMac;  // bare hex digits
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t vlanId = 0;
    std::string vlanName;
    std::uint32_t state = 0;
    std::uint32_t pciDeviceId = 0;
    std::uint32_t mediaType = 0;
    std::uint32_t speed = 0;
    std::uint32_t adapterState = 4;
    std::string teamName;
    std::uint32_t teamId = 0;
    std::uint32_t archType = 0;
    std::uint32_t linkSetting = 0;
    std::string serviceName;
    std::uint32_t secondFunction = 0;  // handle answered by BmapiGetVbdEnumInfo
    std::string firmware;   // general family version text
    std::string bootCode;   // first boot-code version (5706 and 57710 families)
    std::string bootCode2;  // second boot-code version
    std::string asf;
    NicCallResults results;
    std::map<AdapterRecordKind, std::vector<RawPatch>> raw;
};

struct NicLibrary {
    // Loading fails with this code; the library is not there at all.
    std::optional<platform::ResultCode> loadError;
    std::vector<bmapi::Entry> missing;          // entry points it does not export
    std::vector<std::uint32_t> failAllocation;  // sizes of allocations that fail
    NicCallResults results;                        // of the calls not made per adapter
    std::optional<std::uint32_t> teamCount;     // default: the number of teams
    std::optional<std::uint32_t> adapterCount;  // default: the number of listed adapters
    std::vector<NicTeam> teams;
    std::vector<NicAdapter> adapters;
};

}  // namespace linkscope::sim
