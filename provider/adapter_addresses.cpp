#include "provider/adapter_addresses.h"

namespace linkscope::provider {

const IpProtocol kIPv4 = {"IPv4", 4096, "<AdapterIndex>_<ProtocolIFType>_<IPv4Address>"};
const IpProtocol kIPv6 = {"IPv6", 4097, "<AdapterIndex>_<ProtocolIFType>_<IPv6Address>"};

namespace {

void VisitEntries(const NetworkAdapter& adapter, bool physical, const IpProtocol& protocol, const TextList& entries,
                  const std::function<void(const AdapterAddress&)>& visit) {
    for (const std::string& entry : entries) visit(AdapterAddress{&adapter, physical, &protocol, entry});
}

}  // namespace

void ForEachAdapterAddress(const AdaptersInfo& adapters, const std::function<void(const AdapterAddress&)>& visit) {
    for (const PhysicalNetworkAdapter* adapter : adapters.GetPhysicalAdapters()) {
        VisitEntries(*adapter, true, kIPv4, adapter->GetIPv4AddressList(), visit);
        VisitEntries(*adapter, true, kIPv6, adapter->GetIPv6AddressList(), visit);
    }
    // Team and VLAN adapters report no IPv6 endpoint.
    for (const VirtualNetworkAdapter* adapter : adapters.GetVirtualAdapters()) {
        VisitEntries(*adapter, false, kIPv4, adapter->GetIPv4AddressList(), visit);
    }
}

std::string EndpointName(std::int32_t portNumber, const IpProtocol& protocol, const std::string& entry) {
    return std::to_string(portNumber) + "_" + protocol.word + "_" + entry;
}

}  // namespace linkscope::provider
