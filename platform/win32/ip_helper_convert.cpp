#include "platform/win32/ip_helper_convert.h"

#include <algorithm>
#include <cstddef>

#include "platform/win32/wide_text.h"
#include "platform/win32/windows_api.h"

namespace linkscope::win32 {
namespace {

std::string AddressText(const IP_ADDRESS_STRING& address) { return FieldText(address.String); }

// The embedded entry and every linked entry that lies inside the buffer.
std::vector<platform::IpAddressString> AddressChain(const OsBytes& buffer, const IP_ADDR_STRING& first) {
    std::vector<platform::IpAddressString> chain;
    const std::size_t limit = buffer.Capacity<IP_ADDR_STRING>() + 1;
    for (const IP_ADDR_STRING* entry = &first; entry != nullptr && chain.size() < limit;
         entry = buffer.At<IP_ADDR_STRING>(entry->Next)) {
        chain.push_back({AddressText(entry->IpAddress), AddressText(entry->IpMask)});
    }
    return chain;
}

platform::AdapterEntry ConvertAdapter(const OsBytes& buffer, const IP_ADAPTER_INFO& info) {
    platform::AdapterEntry entry;
    entry.adapterName = FieldText(info.AdapterName);
    entry.description = FieldText(info.Description);
    const std::size_t length = std::min<std::size_t>(info.AddressLength, MAX_ADAPTER_ADDRESS_LENGTH);
    entry.hardwareAddress.assign(info.Address, info.Address + length);
    entry.index = info.Index;
    entry.type = info.Type;
    entry.dhcpEnabled = info.DhcpEnabled;
    entry.dhcpServer = AddressText(info.DhcpServer.IpAddress);
    entry.haveWins = info.HaveWins ? 1 : 0;
    entry.primaryWinsServer = AddressText(info.PrimaryWinsServer.IpAddress);
    entry.secondaryWinsServer = AddressText(info.SecondaryWinsServer.IpAddress);
    entry.ipAddresses = AddressChain(buffer, info.IpAddressList);
    entry.gateways = AddressChain(buffer, info.GatewayList);
    return entry;
}

}  // namespace

platform::FixedInfo ConvertFixedInfo(const OsBytes& buffer) {
    platform::FixedInfo fixed;
    const FIXED_INFO* info = buffer.First<FIXED_INFO>();
    if (info == nullptr) return fixed;
    fixed.hostName = FieldText(info->HostName);
    fixed.domainName = FieldText(info->DomainName);
    fixed.enableRouting = info->EnableRouting;
    fixed.enableProxy = info->EnableProxy;
    return fixed;
}

std::vector<platform::AdapterEntry> ConvertAdaptersInfo(const OsBytes& buffer) {
    std::vector<platform::AdapterEntry> adapters;
    const std::size_t limit = buffer.Capacity<IP_ADAPTER_INFO>();
    for (const IP_ADAPTER_INFO* info = buffer.First<IP_ADAPTER_INFO>(); info != nullptr && adapters.size() < limit;
         info = buffer.At<IP_ADAPTER_INFO>(info->Next)) {
        adapters.push_back(ConvertAdapter(buffer, *info));
    }
    return adapters;
}

std::vector<platform::InterfacePair> ConvertInterfaceInfo(const OsBytes& buffer) {
    std::vector<platform::InterfacePair> pairs;
    const IP_INTERFACE_INFO* info = buffer.First<IP_INTERFACE_INFO>();
    if (info == nullptr || info->NumAdapters <= 0) return pairs;
    // The count is the system's word; only the entries inside the buffer are read.
    const std::size_t offset = offsetof(IP_INTERFACE_INFO, Adapter);
    const std::size_t room = (buffer.Size() - offset) / sizeof(IP_ADAPTER_INDEX_MAP);
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(info->NumAdapters), room);
    pairs.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const IP_ADAPTER_INDEX_MAP& map = info->Adapter[i];
        pairs.push_back({map.Index, NarrowAsPercentS(map.Name, MAX_ADAPTER_NAME)});
    }
    return pairs;
}

std::vector<platform::InterfaceRow> ConvertIfTable(const OsBytes& buffer) {
    std::vector<platform::InterfaceRow> rows;
    const MIB_IFTABLE* table = buffer.First<MIB_IFTABLE>();
    if (table == nullptr) return rows;
    const std::size_t offset = offsetof(MIB_IFTABLE, table);
    const std::size_t room = (buffer.Size() - offset) / sizeof(MIB_IFROW);
    const std::size_t count = std::min<std::size_t>(table->dwNumEntries, room);
    rows.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const MIB_IFROW& row = table->table[i];
        rows.push_back({row.dwIndex, row.dwMtu, static_cast<std::uint32_t>(row.dwOperStatus)});
    }
    return rows;
}

platform::PerAdapterAnswer ConvertPerAdapterInfo(const OsBytes& buffer) {
    platform::PerAdapterAnswer answer;
    const IP_PER_ADAPTER_INFO* info = buffer.First<IP_PER_ADAPTER_INFO>();
    if (info == nullptr) return answer;
    answer.autoconfigEnabled = info->AutoconfigEnabled;
    answer.autoconfigActive = info->AutoconfigActive;
    for (const platform::IpAddressString& server : AddressChain(buffer, info->DnsServerList)) {
        answer.dnsServers.push_back(server.address);
    }
    return answer;
}

std::vector<platform::Ipv6Entry> ConvertAdapterAddresses(const OsBytes& buffer) {
    std::vector<platform::Ipv6Entry> entries;
    const std::size_t limit = buffer.Capacity<IP_ADAPTER_ADDRESSES>();
    for (const IP_ADAPTER_ADDRESSES* adapter = buffer.First<IP_ADAPTER_ADDRESSES>();
         adapter != nullptr && entries.size() < limit; adapter = buffer.At<IP_ADAPTER_ADDRESSES>(adapter->Next)) {
        platform::Ipv6Entry entry;
        entry.adapterName = buffer.TextAt(adapter->AdapterName);
        if (const auto* unicast = buffer.At<IP_ADAPTER_UNICAST_ADDRESS>(adapter->FirstUnicastAddress)) {
            const SOCKET_ADDRESS& socket = unicast->Address;
            const auto* address = buffer.At<sockaddr_in6>(socket.lpSockaddr);
            if (address != nullptr && socket.iSockaddrLength >= static_cast<INT>(sizeof(sockaddr_in6)) &&
                address->sin6_family == AF_INET6) {
                std::copy_n(reinterpret_cast<const std::uint8_t*>(&address->sin6_addr), entry.firstUnicast.size(),
                            entry.firstUnicast.begin());
                entry.hasUnicast = true;
            }
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace linkscope::win32
