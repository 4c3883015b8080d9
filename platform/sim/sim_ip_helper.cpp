#include "platform/sim/sim_ip_helper.h"

#include <algorithm>
#include <string>

namespace linkscope::sim {
namespace {

using platform::kSuccess;

const char kNoAddress[] = "0.0.0.0";

platform::AdapterEntry ToEntry(const Adapter& adapter) {
    platform::AdapterEntry entry;
    entry.adapterName = adapter.guid;
    entry.description = adapter.description;
    entry.hardwareAddress = adapter.mac;
    entry.index = adapter.index;
    entry.type = adapter.type;
    entry.dhcpEnabled = adapter.dhcp ? 1 : 0;
    entry.dhcpServer = adapter.dhcpServer;
    entry.haveWins = adapter.wins.empty() ? 0 : 1;
    if (!adapter.wins.empty()) entry.primaryWinsServer = adapter.wins[0];
    if (adapter.wins.size() > 1) entry.secondaryWinsServer = adapter.wins[1];
    entry.ipAddresses = adapter.ipv4;
    if (entry.ipAddresses.empty()) entry.ipAddresses.push_back({kNoAddress, kNoAddress});
    for (const std::string& gateway : adapter.gateways) entry.gateways.push_back({gateway, ""});
    if (entry.gateways.empty()) entry.gateways.push_back({kNoAddress, ""});
    return entry;
}

}  // namespace

SimIpHelper::SimIpHelper(std::shared_ptr<const Machine> machine) : machine_(std::move(machine)) {
    byIndex_.reserve(machine_->adapters.size());
    for (const Adapter& adapter : machine_->adapters) byIndex_.emplace(adapter.index, &adapter);
}

platform::NetworkParamsAnswer SimIpHelper::GetNetworkParams() {
    platform::NetworkParamsAnswer answer;
    answer.result = machine_->results.networkParams;
    if (answer.result == kSuccess) answer.info = machine_->host;
    return answer;
}

platform::AdaptersAnswer SimIpHelper::GetAdaptersInfo() {
    platform::AdaptersAnswer answer;
    answer.adapters.reserve(machine_->adapters.size());
    for (const Adapter& adapter : machine_->adapters) {
        if (adapter.inAdaptersInfo) answer.adapters.push_back(ToEntry(adapter));
    }
    // The system answers "no data" when it has no adapter to list.
    answer.result = machine_->results.adaptersInfo.value_or(answer.adapters.empty() ? platform::kNoData : kSuccess);
    if (answer.result != kSuccess) answer.adapters.clear();
    return answer;
}

platform::InterfacePairsAnswer SimIpHelper::GetInterfaceInfo() {
    platform::InterfacePairsAnswer answer;
    answer.result = machine_->results.interfaceInfo;
    if (answer.result != kSuccess) return answer;
    for (const Adapter& adapter : machine_->adapters) {
        if (!adapter.inInterfaceInfo) continue;
        answer.pairs.push_back(
            {adapter.index, adapter.deviceName.empty() ? "\\DEVICE\\TCPIP_" + adapter.guid : adapter.deviceName});
    }
    return answer;
}

platform::InterfaceTableAnswer SimIpHelper::GetIfTable() {
    platform::InterfaceTableAnswer answer;
    answer.result = machine_->results.ifTable;
    if (answer.result != kSuccess) return answer;
    for (const Adapter& adapter : machine_->adapters) {
        if (adapter.inIfTable) answer.rows.push_back({adapter.index, adapter.mtu, adapter.operStatus});
    }
    std::stable_sort(answer.rows.begin(), answer.rows.end(),
                     [](const auto& a, const auto& b) { return a.index < b.index; });
    return answer;
}

platform::PerAdapterAnswer SimIpHelper::GetPerAdapterInfo(std::uint32_t index) {
    platform::PerAdapterAnswer answer;
    const auto found = byIndex_.find(index);
    if (found == byIndex_.end()) {
        answer.result = platform::kInvalidParameter;
        return answer;
    }
    const Adapter& adapter = *found->second;
    answer.result = adapter.perAdapterResult;
    if (answer.result != kSuccess) return answer;
    answer.autoconfigEnabled = adapter.autoconfig.enabled ? 1 : 0;
    answer.autoconfigActive = adapter.autoconfig.active ? 1 : 0;
    answer.dnsServers = adapter.dns;
    if (answer.dnsServers.empty()) answer.dnsServers.emplace_back();
    return answer;
}

platform::Ipv6Answer SimIpHelper::GetAdaptersAddressesIPv6() {
    platform::Ipv6Answer answer;
    answer.resolved = machine_->ipv6Available;
    if (!answer.resolved) return answer;
    answer.result = machine_->results.adaptersAddresses;
    if (answer.result != kSuccess) return answer;
    for (const Adapter& adapter : machine_->adapters) {
        if (!adapter.inAdaptersAddresses) continue;
        platform::Ipv6Entry entry;
        entry.adapterName = adapter.guid;
        entry.hasUnicast = adapter.ipv6.has_value();
        if (adapter.ipv6) entry.firstUnicast = *adapter.ipv6;
        answer.entries.push_back(std::move(entry));
    }
    return answer;
}

platform::OsVersionAnswer SimIpHelper::GetVersion() {
    const OsVersion& os = machine_->os;
    if (!os.ok) return {};
    return {true, os.major, os.minor};
}

}  // namespace linkscope::sim
