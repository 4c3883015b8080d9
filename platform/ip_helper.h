// What the collectors ask of the operating system's IP configuration
// interface. Each answer carries the call's final result code: a backend
// does any resize-and-call-again itself and reports only the last result.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/result_codes.h"

namespace linkscope::platform {

struct FixedInfo {
    std::string hostName;
    std::string domainName;
    std::uint32_t enableRouting = 0;
    std::uint32_t enableProxy = 0;
};

struct NetworkParamsAnswer {
    ResultCode result = kSuccess;
    FixedInfo info;  // all empty or zero when result is not kSuccess
};

// One address and its mask as dotted texts.
struct IpAddressString {
    std::string address;
    std::string mask;
};

// One adapter of the adapter-information chain. The address, gateway and
// DNS lists hold the whole chain, the embedded first entry included; the
// operating system always fills that first entry, so a backend never hands
// out an empty chain.
struct AdapterEntry {
    std::string adapterName;  // GUID text in braces
    std::string description;
    std::vector<std::uint8_t> hardwareAddress;  // at most 8 bytes
    std::uint32_t index = 0;
    std::uint32_t type = 0;
    std::uint32_t dhcpEnabled = 0;
    std::string dhcpServer;
    std::uint32_t haveWins = 0;
    std::string primaryWinsServer;
    std::string secondaryWinsServer;
    std::vector<IpAddressString> ipAddresses;
    std::vector<IpAddressString> gateways;
};

struct AdaptersAnswer {
    ResultCode result = kSuccess;
    std::vector<AdapterEntry> adapters;
};

// Interface index and device name ("\DEVICE\TCPIP_{GUID}"), already narrow.
struct InterfacePair {
    std::uint32_t index = 0;
    std::string name;
};

struct InterfacePairsAnswer {
    ResultCode result = kSuccess;
    std::vector<InterfacePair> pairs;
};

struct InterfaceRow {
    std::uint32_t index = 0;
    std::uint32_t mtu = 0;
    std::uint32_t operStatus = 0;
};

struct InterfaceTableAnswer {
    ResultCode result = kSuccess;
    std::vector<InterfaceRow> rows;  // sorted by index
};

struct PerAdapterAnswer {
    ResultCode result = kSuccess;
    std::uint32_t autoconfigEnabled = 0;
    std::uint32_t autoconfigActive = 0;
    std::vector<std::string> dnsServers;  // the chain, embedded entry first
};

struct Ipv6Entry {
    std::string adapterName;
    bool hasUnicast = false;
    std::array<std::uint8_t, 16> firstUnicast{};
};

struct Ipv6Answer {
    bool resolved = true;  // false: the call is not available on this system
    ResultCode result = kSuccess;
    std::vector<Ipv6Entry> entries;
};

struct OsVersionAnswer {
    bool ok = false;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
};

class IpHelperApi {
public:
    virtual ~IpHelperApi() = default;
    virtual NetworkParamsAnswer GetNetworkParams() = 0;
    virtual AdaptersAnswer GetAdaptersInfo() = 0;
    virtual InterfacePairsAnswer GetInterfaceInfo() = 0;
    virtual InterfaceTableAnswer GetIfTable() = 0;
    virtual PerAdapterAnswer GetPerAdapterInfo(std::uint32_t index) = 0;
    // IPv6 adapter addresses (family 23, flags 0).
    virtual Ipv6Answer GetAdaptersAddressesIPv6() = 0;
    virtual OsVersionAnswer GetVersion() = 0;
};

}  // namespace linkscope::platform
