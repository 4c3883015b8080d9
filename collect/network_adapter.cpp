#include "collect/network_adapter.h"

#include <algorithm>
#include <cctype>

#include "collect/exclusion_switch.h"

namespace linkscope {
namespace {

// "\"text\"" becomes "text"; a lone double quote becomes empty; anything
// else is kept as given.
std::string WithoutEnclosingQuotes(std::string value) {
    if (!value.empty() && value.front() == '"' && value.back() == '"') {
        value.pop_back();
        if (!value.empty()) value.erase(0, 1);
    }
    return value;
}

}  // namespace

NetworkAdapter::NetworkAdapter() : ExcludeIP(ReadExcludeIpSwitch()) {}

void NetworkAdapter::SetPermanentAddress(std::string value) {
    if (!ExcludeIP) PermanentAddress = std::move(value);
    std::transform(PermanentAddress.begin(), PermanentAddress.end(), PermanentAddress.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
}

void NetworkAdapter::SetDescription(std::string value) { Description = WithoutEnclosingQuotes(std::move(value)); }

void NetworkAdapter::SetOtherIdentifyingInfo(std::string value) {
    OtherIdentifyingInfo = WithoutEnclosingQuotes(std::move(value));
}

void NetworkAdapter::SetDhcpServer(std::string value) {
    if (!ExcludeIP) DhcpServer = std::move(value);
}

void NetworkAdapter::SetPrimaryWinsServer(std::string value) {
    if (!ExcludeIP) PrimaryWinsServer = std::move(value);
}

void NetworkAdapter::SetSecondaryWinsServer(std::string value) {
    if (!ExcludeIP) SecondaryWinsServer = std::move(value);
}

void NetworkAdapter::SetDnsServers(CimValueList value) {
    // DNS servers only mean something for an adapter that is up.
    if (!ExcludeIP && EnabledState == 2) DnsServers = std::move(value);
}

void NetworkAdapter::SetGatewayList(CimValueList value) {
    if (!ExcludeIP) GatewayList = std::move(value);
}

void NetworkAdapter::SetNetworkAddresses(CimValueList value) {
    if (!ExcludeIP) NetworkAddresses = std::move(value);
}

TextList NetworkAdapter::GetIPv4AddressList() const { return ExcludeIP ? TextList() : IPv4AddressList; }

void NetworkAdapter::SetIPv4AddressList(TextList value) {
    if (!ExcludeIP) IPv4AddressList = std::move(value);
}

TextList NetworkAdapter::GetIPv6AddressList() const { return ExcludeIP ? TextList() : IPv6AddressList; }

void NetworkAdapter::SetIPv6AddressList(TextList value) {
    if (!ExcludeIP) IPv6AddressList = std::move(value);
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
