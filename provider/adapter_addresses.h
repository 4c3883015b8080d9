// The adapter addresses that are reported as IP protocol endpoints, and the
// name of each endpoint. The endpoint section and the port-to-endpoint
// association both walk addresses through here, so the endpoint they build
// and the one they look for are named alike, character for character.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "collect/adapters_info.h"

namespace linkscope::provider {

struct IpProtocol {
    const char* word;              // in endpoint names: "IPv4", "IPv6"
    unsigned short ifType;         // the endpoint's ProtocolIFType
    const char* nameFormat;        // the endpoint's NameFormat
};

extern const IpProtocol kIPv4;
extern const IpProtocol kIPv6;

// One address entry of one adapter. `adapter` and `protocol` point into the
// collected data and the constants above; valid during the visit only.
struct AdapterAddress {
    const NetworkAdapter* adapter;
    bool physical;  // the adapter is in the physical list
    const IpProtocol* protocol;
    const std::string& entry;  // the list element exactly as stored
};

// Visits every physical adapter in list order with its IPv4 entries, then
// its IPv6 entries, and then every virtual adapter with its IPv4 entries
// only. No adapter is left out here. Under the address-exclusion switch the
// lists read empty and nothing is visited.
void ForEachAdapterAddress(const AdaptersInfo& adapters, const std::function<void(const AdapterAddress&)>& visit);

// "%d_%s_%s" of the port number (signed), the protocol word and the entry:
// port 11 with 10.1.2.3/24 is "11_IPv4_10.1.2.3/24"; an empty entry leaves
// the trailing underscore.
std::string EndpointName(std::int32_t portNumber, const IpProtocol& protocol, const std::string& entry);

}  // namespace linkscope::provider
