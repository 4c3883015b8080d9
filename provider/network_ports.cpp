// Network port instances: one virtual port per team or VLAN adapter, one
// physical port per physical adapter. The two classes differ in which
// properties are conditional and in their defaults, so each has its own
// complete table. "DeviceID" and "MemberType" are read back by the
// associations and must be the adapter's fields unchanged.
#include <string>

#include "provider/class_names.h"
#include "provider/instance_builder.h"
#include "provider/sections.h"
#include "provider/team_number.h"

namespace linkscope::provider {
namespace {

using V = VirtualNetworkAdapter;
using P = PhysicalNetworkAdapter;

constexpr char kNotAvailable[] = "Not Available";

const PropertyRow<V> kVirtualPortProperties[] = {
    {"SystemCreationClassName", Field<V>::Constant<kComputerSystemClass>},
    {"CreationClassname", Field<V>::Constant<kVirtualPortClass>},
    {"SystemName", Field<V>::MachineName},
    {"DeviceID", Field<V>::Text<&V::GetDeviceID>},
    {"Name", Field<V>::Text<&V::GetName>},
    {"PermanentAddress", Field<V>::Text<&V::GetPermanentAddress>},
    {"Description", Field<V>::Text<&V::GetDescription>},
    {"OtherIdentifyingInfo", Field<V>::ArrayOfOne<&V::GetOtherIdentifyingInfo>},
    {"PortNumber", Field<V>::UInt16<&V::GetPortNumber>},
    {"DriverLoaded", Field<V>::Flag<&V::GetDriverLoaded>},
    {"LinkTechnology", Field<V>::UInt16<&V::GetLinkTechnology>},
    {"DhcpEnabled", Field<V>::Flag<&V::GetDhcpEnabled>},
    {"DhcpServer", Field<V>::Text<&V::GetDhcpServer>, Field<V>::IsSet<&V::GetDhcpEnabled>},
    {"Speed", Field<V>::UInt64<&V::GetSpeed>},
    {"speedDuplex", Field<V>::Text<&V::GetSpeedDuplex>},
    {"ActiveMaximumTransmissionUnit", Field<V>::UInt64<&V::GetActiveMaximumTransmissionUnit>},
    {"HaveWins", Field<V>::Flag<&V::GetHaveWins>},
    {"PrimaryWinsServer", Field<V>::Text<&V::GetPrimaryWinsServer>, Field<V>::IsSet<&V::GetHaveWins>},
    {"SecondaryWinsServer", Field<V>::Text<&V::GetSecondaryWinsServer>, Field<V>::IsSet<&V::GetHaveWins>},
    {"AutoConfigEnabled", Field<V>::Flag<&V::GetAutoConfigEnabled>},
    {"AutoConfigActive", Field<V>::Flag<&V::GetAutoConfigActive>},
    {"DnsServers", Field<V>::StringArray<&V::DnsServersView>},
    {"GatewayList", Field<V>::StringArray<&V::GatewayListView>},
    {"NetworkAddresses", Field<V>::StringArray<&V::NetworkAddressesView>},
    {"EnabledState", Field<V>::UInt16<&V::GetEnabledState>},
    {"VlanID", Field<V>::UInt32<&V::GetVlanID>, Field<V>::IsSet<&V::GetVlanID>},
    {"VlanName", Field<V>::Text<&V::GetVlanName>, Field<V>::IsSet<&V::GetVlanID>},
};

// While the port's state is unknown (EnabledState 0) its speed and duplex
// setting is reported as unknown too.
TCIMValue PhysicalSpeedDuplex(const P& port) {
    return Text(port.GetEnabledState() != 0 ? port.GetSpeedDuplex() : std::string("Unknown"));
}

TCIMValue TeamIdText(const P& port) { return Text(TeamNumberText(port.GetMemberTeamID())); }

const PropertyRow<P> kPhysicalPortProperties[] = {
    {"SystemCreationClassName", Field<P>::Constant<kComputerSystemClass>},
    {"CreationClassname", Field<P>::Constant<kPhysicalPortClass>},
    {"SystemName", Field<P>::MachineName},
    {"DeviceID", Field<P>::Text<&P::GetDeviceID>},
    {"Name", Field<P>::Text<&P::GetName>},
    {"PermanentAddress", Field<P>::Text<&P::GetPermanentAddress>, Field<P>::IsSet<&P::PermanentAddressView>},
    {"Description", Field<P>::TextOr<&P::GetDescription, kNotAvailable>},
    {"OtherIdentifyingInfo", Field<P>::ArrayOfOne<&P::GetOtherIdentifyingInfo>},
    {"PortNumber", Field<P>::UInt16<&P::GetPortNumber>},
    {"NicType", Field<P>::UInt32<&P::GetNicType>},
    {"DriverLoaded", Field<P>::Flag<&P::GetDriverLoaded>},
    {"LinkTechnology", Field<P>::UInt16<&P::GetLinkTechnology>},
    {"DhcpEnabled", Field<P>::Flag<&P::GetDhcpEnabled>},
    {"DhcpServer", Field<P>::Text<&P::GetDhcpServer>},
    {"Speed", Field<P>::UInt64<&P::GetSpeed>},
    {"speedDuplex", PhysicalSpeedDuplex},
    {"ActiveMaximumTransmissionUnit", Field<P>::UInt64<&P::GetActiveMaximumTransmissionUnit>},
    {"HaveWins", Field<P>::Flag<&P::GetHaveWins>},
    {"PrimaryWinsServer", Field<P>::Text<&P::GetPrimaryWinsServer>, Field<P>::IsSet<&P::GetHaveWins>},
    {"SecondaryWinsServer", Field<P>::Text<&P::GetSecondaryWinsServer>, Field<P>::IsSet<&P::GetHaveWins>},
    {"AutoConfigEnabled", Field<P>::Flag<&P::GetAutoConfigEnabled>},
    {"AutoConfigActive", Field<P>::Flag<&P::GetAutoConfigActive>},
    {"DnsServers", Field<P>::StringArray<&P::DnsServersView>, Field<P>::IsSet<&P::DnsServersView>},
    {"GatewayList", Field<P>::StringArray<&P::GatewayListView>, Field<P>::IsSet<&P::GatewayListView>},
    {"NetworkAddresses", Field<P>::StringArray<&P::NetworkAddressesView>, Field<P>::IsSet<&P::NetworkAddressesView>},
    {"EnabledState", Field<P>::UInt16<&P::GetEnabledState>},
    {"MemberType", Field<P>::UInt32<&P::GetMemberType>, Field<P>::IsSet<&P::GetInTeam>},
    {"MemberPriority", Field<P>::UInt32<&P::GetMemberPriority>, Field<P>::IsSet<&P::GetInTeam>},
    {"TeamName", Field<P>::Text<&P::GetTeamName>, Field<P>::IsSet<&P::GetInTeam>},
    {"TeamID", TeamIdText, Field<P>::IsSet<&P::GetInTeam>},
};

// The loopback interface and IPv6-in-IPv4 tunnel interfaces ("sit0", ...)
// are not ports of the machine. Exact and case-sensitive.
bool IsSkippedDevice(const std::string& deviceId) {
    return deviceId == "lo" || deviceId.find("sit") != std::string::npos;
}

}  // namespace

void ServeVirtualPorts(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    for (const V* adapter : query.data.adapters->GetVirtualAdapters()) {
        BuildInstance(query, *adapter, kVirtualPortProperties);
    }
}

void ServePhysicalPorts(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    for (const P* adapter : query.data.adapters->GetPhysicalAdapters()) {
        if (IsSkippedDevice(adapter->GetDeviceID())) continue;
        BuildInstance(query, *adapter, kPhysicalPortProperties);
    }
}

}  // namespace linkscope::provider
