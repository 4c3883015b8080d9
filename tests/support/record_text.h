// Test support: an adapter record as one line of text, so that a test
// states a whole record at once and a failure shows every field.
#pragma once

#include <string>
#include <vector>

#include "collect/adapters_info.h"
#include "collect/network_adapter.h"

namespace linkscope::testing {

template <class List>
std::string Joined(const List& items) {
    std::string text;
    for (const auto& item : items) text += (text.empty() ? "" : ",") + static_cast<std::string>(item);
    return text;
}

// Identity, port, state and speed, then DHCP, WINS and autoconfiguration
// flags and servers, then the address lists.
inline std::string RecordText(const NetworkAdapter& r) {
    const std::string other = r.GetOtherIdentifyingInfo();
    return r.GetName() + " " + r.GetDeviceID() + " '" + r.GetDescription() + "'" +
           (other != r.GetDescription() ? " other '" + other + "'" : "") + " mac " + r.GetMacAddress() + " " +
           r.GetPermanentAddress() + " #" + std::to_string(r.GetPortNumber()) + " state " +
           std::to_string(r.GetEnabledState()) + " link " + std::to_string(r.GetLinkTechnology()) + " mtu " +
           std::to_string(r.GetActiveMaximumTransmissionUnit()) + " '" + r.GetSpeedDuplex() + "' driver " +
           std::to_string(r.GetDriverLoaded()) + " | dhcp " + std::to_string(r.GetDhcpEnabled()) + " " +
           r.GetDhcpServer() + " wins " + std::to_string(r.GetHaveWins()) + " " + r.GetPrimaryWinsServer() + "," +
           r.GetSecondaryWinsServer() + " auto " + std::to_string(r.GetAutoConfigEnabled()) + "/" +
           std::to_string(r.GetAutoConfigActive()) + " | ipv4 " + Joined(r.GetIPv4AddressList()) + " ipv6 " +
           Joined(r.GetIPv6AddressList()) + " gw " + Joined(r.GetGatewayList()) + " dns " +
           Joined(r.GetDnsServers()) + " hw " + Joined(r.GetNetworkAddresses());
}

inline std::vector<std::string> RecordTexts(const AdaptersInfo& adapters) {
    std::vector<std::string> texts;
    for (const auto* record : adapters.GetPhysicalAdapters()) texts.push_back(RecordText(*record));
    return texts;
}

}  // namespace linkscope::testing
