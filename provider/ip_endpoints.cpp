// IP protocol endpoint instances: one per address entry of an adapter (see
// ForEachAdapterAddress for which). The association finds them again by
// their "Name".
#include <string>

#include "provider/adapter_addresses.h"
#include "provider/class_names.h"
#include "provider/instance_builder.h"
#include "provider/sections.h"

namespace linkscope::provider {
namespace {

struct Endpoint {
    const IpProtocol* protocol;
    std::string description;  // the adapter's
    std::string name;
    std::string address;  // the entry
    bool physical;
};

using E = Endpoint;

TCIMValue ProtocolIfType(const E& e) { return UInt16(e.protocol->ifType); }
TCIMValue NameFormat(const E& e) { return Text(e.protocol->nameFormat); }

// A physical adapter's endpoint carries its address only when the entry is
// not empty; a virtual adapter's always does.
bool CarriesAddress(const E& e) { return !e.physical || !e.address.empty(); }
bool CarriesIPv4Address(const E& e) { return e.protocol == &kIPv4 && CarriesAddress(e); }
bool CarriesIPv6Address(const E& e) { return e.protocol == &kIPv6 && CarriesAddress(e); }

const PropertyRow<E> kEndpointProperties[] = {
    {"SystemCreationClassName", Field<E>::Constant<kComputerSystemClass>},
    {"CreationClassname", Field<E>::Constant<kEndpointClass>},
    {"SystemName", Field<E>::MachineName},
    {"ProtocolIFType", ProtocolIfType},
    {"Description", Field<E>::Text<&E::description>},
    {"Name", Field<E>::Text<&E::name>},
    {"NameFormat", NameFormat},
    {"IPv4Address", Field<E>::Text<&E::address>, CarriesIPv4Address},
    {"IPv6Address", Field<E>::Text<&E::address>, CarriesIPv6Address},
};

}  // namespace

void ServeIpEndpoints(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    ForEachAdapterAddress(*query.data.adapters, [&query](const AdapterAddress& address) {
        const NetworkAdapter& adapter = *address.adapter;
        const Endpoint endpoint{address.protocol, adapter.GetDescription(),
                                EndpointName(adapter.GetPortNumber(), *address.protocol, address.entry), address.entry,
                                address.physical};
        BuildInstance(query, endpoint, kEndpointProperties);
    });
}

}  // namespace linkscope::provider
