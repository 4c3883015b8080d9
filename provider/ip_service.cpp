// The one instance that describes the host's own IP configuration.
#include "provider/instance_builder.h"
#include "provider/sections.h"

namespace linkscope::provider {
namespace {

const PropertyRow<NetworkParams> kIpServiceProperties[] = {
    {"SystemCreationClassName", [](const NetworkParams&) { return Text(kComputerSystemClass); }},
    {"CreationClassname", [](const NetworkParams&) { return Text("QRXSG_IPService"); }},
    {"SystemName", [](const NetworkParams&) { return Text(MachineName()); }},
    {"Name", [](const NetworkParams&) { return Text("IPService"); }},
    {"HostName", [](const NetworkParams& p) { return Text(p.GetHostName()); }},
    {"DomainName", [](const NetworkParams& p) { return Text(p.GetDomainName()); }},
    {"RoutingEnabled", [](const NetworkParams& p) { return Flag(p.IsRoutingEnabled()); }},
    {"ProxyEnabled", [](const NetworkParams& p) { return Flag(p.IsProxyEnabled()); }},
};

}  // namespace

void ServeIpService(QueryContext& query) {
    if (query.data.networkParams == nullptr) return;
    BuildInstance(query, *query.data.networkParams, kIpServiceProperties);
}

}  // namespace linkscope::provider
