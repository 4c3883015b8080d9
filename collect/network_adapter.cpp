#include "collect/network_adapter.h"

#include <algorithm>
#include <cctype>

#include "collect/exclusion_switch.h"

namespace linkscope {
namespace {

// "\"text\"" becomes "text"; a lone double quote becomes empty; anything
// else is kept as given.
std::string WithoutEnclosingQuotes(const std::string& value) {
    if (!value.empty() && value.front() == '"' && value.back() == '"') {
        return value.size() >= 2 ? value.substr(1, value.size() - 2) : std::string();
    }
    return value;
}

}  // namespace

NetworkAdapter::NetworkAdapter() : ExcludeIP(ReadExcludeIpSwitch()) {}

void NetworkAdapter::SetPermanentAddress(const std::string& value) {
    if (!ExcludeIP) PermanentAddress = value;
    std::transform(PermanentAddress.begin(), PermanentAddress.end(), PermanentAddress.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
}

void NetworkAdapter::SetDescription(const std::string& value) { Description = WithoutEnclosingQuotes(value); }

void NetworkAdapter::SetOtherIdentifyingInfo(const std::string& value) {
    OtherIdentifyingInfo = WithoutEnclosingQuotes(value);
}

void NetworkAdapter::SetDhcpServer(const std::string& value) {
    if (!ExcludeIP) DhcpServer = value;
}

void NetworkAdapter::SetPrimaryWinsServer(const std::string& value) {
    if (!ExcludeIP) PrimaryWinsServer = value;
}

void NetworkAdapter::SetSecondaryWinsServer(const std::string& value) {
    if (!ExcludeIP) SecondaryWinsServer = value;
}

void NetworkAdapter::SetDnsServers(const CimValueList& value) {
    // DNS servers only mean something for an adapter that is up.
    if (!ExcludeIP && EnabledState == 2) DnsServers = value;
}

void NetworkAdapter::SetGatewayList(const CimValueList& value) {
    if (!ExcludeIP) GatewayList = value;
}

void NetworkAdapter::SetNetworkAddresses(const CimValueList& value) {
    if (!ExcludeIP) NetworkAddresses = value;
}

TextList NetworkAdapter::GetIPv4AddressList() const { return ExcludeIP ? TextList() : IPv4AddressList; }

void NetworkAdapter::SetIPv4AddressList(const TextList& value) {
    if (!ExcludeIP) IPv4AddressList = value;
}

TextList NetworkAdapter::GetIPv6AddressList() const { return ExcludeIP ? TextList() : IPv6AddressList; }

void NetworkAdapter::SetIPv6AddressList(const TextList& value) {
    if (!ExcludeIP) IPv6AddressList = value;
}

void NetworkAdapter::CopyBaseFieldsFrom(const NetworkAdapter& source) {
    SetDeviceID(source.GetDeviceID());
    SetSpeedDuplex(source.GetSpeedDuplex());
    SetName(source.GetName());
    SetPermanentAddress(source.GetPermanentAddress());
    SetDescription(source.GetDescription());
    SetOtherIdentifyingInfo(source.GetOtherIdentifyingInfo());
    SetMacAddress(source.GetMacAddress());
    SetLinkTechnology(source.GetLinkTechnology());
    SetDhcpEnabled(source.GetDhcpEnabled());
    SetDhcpServer(source.GetDhcpServer());
    SetHaveWins(source.GetHaveWins());
    SetPrimaryWinsServer(source.GetPrimaryWinsServer());
    SetSecondaryWinsServer(source.GetSecondaryWinsServer());
    // The state first: the DNS setter looks at it.
    SetEnabledState(source.GetEnabledState());
    SetDnsServers(source.GetDnsServers());
    SetGatewayList(source.GetGatewayList());
    SetNetworkAddresses(source.GetNetworkAddresses());
    SetSpeed(source.GetSpeed());
    SetActiveMaximumTransmissionUnit(source.GetActiveMaximumTransmissionUnit());
    SetAutoConfigActive(source.GetAutoConfigActive());
    SetAutoConfigEnabled(source.GetAutoConfigEnabled());
    SetPortNumber(source.GetPortNumber());
    SetIPv4AddressList(source.GetIPv4AddressList());
    SetIPv6AddressList(source.GetIPv6AddressList());
    SetFirmwareVersion(source.GetFirmwareVersion());
    SetSecondFirmwareVersion(source.GetSecondFirmwareVersion());
    SetPCIDeviceID(source.GetPCIDeviceID());
    SetASFFirmwareVersion(source.GetASFFirmwareVersion());
    SetDriverLoaded(source.GetDriverLoaded());
}

PhysicalNetworkAdapter::PhysicalNetworkAdapter(const NetworkAdapter& source) { CopyBaseFieldsFrom(source); }

}  // namespace linkscope
