// Port-to-endpoint associations: one per adapter address whose port and
// endpoint the host holds. The ends are not rebuilt here; they are
// enumerated through the host, which asks the providers of those classes
// (this one among them), so the answer does not depend on what was queried
// before.
#include "provider/adapter_addresses.h"
#include "provider/class_names.h"
#include "provider/dependency.h"
#include "provider/instance_builder.h"
#include "provider/instance_index.h"
#include "provider/sections.h"

namespace linkscope::provider {

void ServePortImplementsEndpoint(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    InstanceIndex physicalPorts(query, kPhysicalPortClass, "DeviceID");
    InstanceIndex virtualPorts(query, kVirtualPortClass, "DeviceID");
    InstanceIndex endpoints(query, kEndpointClass, "Name");

    ForEachAdapterAddress(*query.data.adapters, [&](const AdapterAddress& address) {
        const NetworkAdapter& adapter = *address.adapter;
        InstanceIndex& ports = address.physical ? physicalPorts : virtualPorts;
        // An adapter without a port (a skipped device name) or an address
        // without an endpoint leaves no trace.
        const TCIMValue* port = ports.FindPath(adapter.GetDeviceID());
        if (port == nullptr) return;
        const TCIMValue* endpoint =
            endpoints.FindPath(EndpointName(adapter.GetPortNumber(), *address.protocol, address.entry));
        if (endpoint == nullptr) return;
        BuildInstance(query, Dependency{endpoint, port}, kDependencyProperties);  // the endpoint depends on the port
    });
}

}  // namespace linkscope::provider
