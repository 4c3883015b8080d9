#include "collect/network_adapter.h"

#include <algorithm>
#include <cctype>
#include <type_traits>
#include <utility>

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

template <class Source>
void NetworkAdapter::AssignBaseFieldsFrom(Source&& source) {
    // A copy of the field, or the field itself when the source is an rvalue.
    auto pass = [](auto& field) {
        if constexpr (std::is_rvalue_reference_v<Source&&>) {
            return std::move(field);
        } else {
            return field;
        }
    };
    SetDeviceID(pass(source.DeviceID));
    SetSpeedDuplex(pass(source.SpeedDuplex));
    SetName(pass(source.Name));
    SetPermanentAddress(pass(source.PermanentAddress));
    SetDescription(pass(source.Description));
    SetOtherIdentifyingInfo(pass(source.OtherIdentifyingInfo));
    SetMacAddress(pass(source.MacAddress));
    SetLinkTechnology(pass(source.LinkTechnology));
    SetDhcpEnabled(pass(source.DhcpEnabled));
    SetDhcpServer(pass(source.DhcpServer));
    SetHaveWins(pass(source.HaveWins));
    SetPrimaryWinsServer(pass(source.PrimaryWinsServer));
    SetSecondaryWinsServer(pass(source.SecondaryWinsServer));
    // The state first: the DNS setter looks at it.
    SetEnabledState(pass(source.EnabledState));
    SetDnsServers(pass(source.DnsServers));
    SetGatewayList(pass(source.GatewayList));
    SetNetworkAddresses(pass(source.NetworkAddresses));
    SetSpeed(pass(source.Speed));
    SetActiveMaximumTransmissionUnit(pass(source.ActiveMaximumTransmissionUnit));
    SetAutoConfigActive(pass(source.AutoConfigActive));
    SetAutoConfigEnabled(pass(source.AutoConfigEnabled));
    SetPortNumber(pass(source.PortNumber));
    SetIPv4AddressList(source.ExcludeIP ? TextList() : pass(source.IPv4AddressList));
    SetIPv6AddressList(source.ExcludeIP ? TextList() : pass(source.IPv6AddressList));
    SetFirmwareVersion(pass(source.FirmwareVersion));
    SetSecondFirmwareVersion(pass(source.SecondFirmwareVersion));
    SetPCIDeviceID(pass(source.PCIDeviceID));
    SetASFFirmwareVersion(pass(source.ASFFirmwareVersion));
    SetDriverLoaded(pass(source.DriverLoaded));
}

PhysicalNetworkAdapter::PhysicalNetworkAdapter(const NetworkAdapter& source) { AssignBaseFieldsFrom(source); }

PhysicalNetworkAdapter::PhysicalNetworkAdapter(NetworkAdapter&& source) { AssignBaseFieldsFrom(std::move(source)); }

}  // namespace linkscope
