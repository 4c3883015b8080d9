// The record of one network adapter, and its physical and virtual kinds.
//
// Every field has a getter that returns a copy and a setter; a few also
// have a view, a reference for readers that only look. Most setters
// store the value as given; the exceptions:
//  - the address setters (PermanentAddress, DhcpServer, both WINS servers,
//    DnsServers, GatewayList, NetworkAddresses, IPv4/IPv6AddressList)
//    discard the value while the record's ExcludeIP switch is on, and the
//    IPv4/IPv6 getters then yield empty lists;
//  - PermanentAddress is kept in upper case;
//  - Description and OtherIdentifyingInfo drop one pair of enclosing
//    double quotes;
//  - DnsServers are kept only while EnabledState is 2.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "kvl/values.h"

namespace linkscope {

using CimValueList = std::vector<NQRXKVL20::TCIMValue>;
using TextList = std::vector<std::string>;

class NetworkAdapter {
public:
    // Every text empty, every number 0, every flag false; ExcludeIP is read
    // from the environment.
    NetworkAdapter();
    NetworkAdapter(const NetworkAdapter&) = delete;
    NetworkAdapter& operator=(const NetworkAdapter&) = delete;
    virtual ~NetworkAdapter() = default;

    std::string GetDeviceID() const { return DeviceID; }
    void SetDeviceID(std::string value) { DeviceID = std::move(value); }
    std::string GetSpeedDuplex() const { return SpeedDuplex; }
    void SetSpeedDuplex(std::string value) { SpeedDuplex = std::move(value); }
    std::string GetName() const { return Name; }
    void SetName(std::string value) { Name = std::move(value); }
    std::string GetPermanentAddress() const { return PermanentAddress; }
    const std::string& PermanentAddressView() const { return PermanentAddress; }
    void SetPermanentAddress(std::string value);
    std::string GetDescription() const { return Description; }
    void SetDescription(std::string value);
    std::string GetOtherIdentifyingInfo() const { return OtherIdentifyingInfo; }
    void SetOtherIdentifyingInfo(std::string value);
    std::string GetMacAddress() const { return MacAddress; }
    void SetMacAddress(std::string value) { MacAddress = std::move(value); }
    std::int32_t GetLinkTechnology() const { return LinkTechnology; }
    void SetLinkTechnology(std::int32_t value) { LinkTechnology = value; }
    bool GetDhcpEnabled() const { return DhcpEnabled; }
    void SetDhcpEnabled(bool value) { DhcpEnabled = value; }
    std::string GetDhcpServer() const { return DhcpServer; }
    void SetDhcpServer(std::string value);
    bool GetHaveWins() const { return HaveWins; }
    void SetHaveWins(bool value) { HaveWins = value; }
    std::string GetPrimaryWinsServer() const { return PrimaryWinsServer; }
    void SetPrimaryWinsServer(std::string value);
    std::string GetSecondaryWinsServer() const { return SecondaryWinsServer; }
    void SetSecondaryWinsServer(std::string value);
    std::int32_t GetEnabledState() const { return EnabledState; }
    void SetEnabledState(std::int32_t value) { EnabledState = value; }
    CimValueList GetDnsServers() const { return DnsServers; }
    const CimValueList& DnsServersView() const { return DnsServers; }
    void SetDnsServers(CimValueList value);
    CimValueList GetGatewayList() const { return GatewayList; }
    const CimValueList& GatewayListView() const { return GatewayList; }
    void SetGatewayList(CimValueList value);
    CimValueList GetNetworkAddresses() const { return NetworkAddresses; }
    const CimValueList& NetworkAddressesView() const { return NetworkAddresses; }
    void SetNetworkAddresses(CimValueList value);
    std::uint64_t GetSpeed() const { return Speed; }
    void SetSpeed(std::uint64_t value) { Speed = value; }
    std::int32_t GetActiveMaximumTransmissionUnit() const { return ActiveMaximumTransmissionUnit; }
    void SetActiveMaximumTransmissionUnit(std::int32_t value) { ActiveMaximumTransmissionUnit = value; }
    bool GetAutoConfigActive() const { return AutoConfigActive; }
    void SetAutoConfigActive(bool value) { AutoConfigActive = value; }
    bool GetAutoConfigEnabled() const { return AutoConfigEnabled; }
    void SetAutoConfigEnabled(bool value) { AutoConfigEnabled = value; }
    std::int32_t GetPortNumber() const { return PortNumber; }
    void SetPortNumber(std::int32_t value) { PortNumber = value; }
    TextList GetIPv4AddressList() const;
    void SetIPv4AddressList(TextList value);
    TextList GetIPv6AddressList() const;
    void SetIPv6AddressList(TextList value);
    std::string GetFirmwareVersion() const { return FirmwareVersion; }
    void SetFirmwareVersion(std::string value) { FirmwareVersion = std::move(value); }
    std::string GetSecondFirmwareVersion() const { return SecondFirmwareVersion; }
    void SetSecondFirmwareVersion(std::string value) { SecondFirmwareVersion = std::move(value); }
    std::string GetPCIDeviceID() const { return PCIDeviceID; }
    void SetPCIDeviceID(std::string value) { PCIDeviceID = std::move(value); }
    std::string GetASFFirmwareVersion() const { return ASFFirmwareVersion; }
    void SetASFFirmwareVersion(std::string value) { ASFFirmwareVersion = std::move(value); }
    std::int32_t GetNicType() const { return NicType; }
    void SetNicType(std::int32_t value) { NicType = value; }
    std::int32_t GetTeamID() const { return TeamID; }
    void SetTeamID(std::int32_t value) { TeamID = value; }
    bool GetInTeam() const { return InTeam; }
    void SetInTeam(bool value) { InTeam = value; }
    bool GetDriverLoaded() const { return DriverLoaded; }
    void SetDriverLoaded(bool value) { DriverLoaded = value; }
    bool GetExcludeIP() const { return ExcludeIP; }

    // Dotted subnet mask to prefix length as decimal text ("255.255.255.0"
    // gives "24"). Reads only the last non-zero octet, so odd masks give
    // the set-bit count of that octet plus 8 per octet before it.
    static std::string MaskToPrefixLength(const std::string& mask);

    // Logs one multi-line description of the record at level 3, headed by
    // the caller's source file and line.
    void Dump(const char* file, std::int32_t line) const;

protected:
    // Takes every field of `source` through the setters (so their rules
    // apply again), except NicType, TeamID and InTeam; the address lists as
    // the source's getters give them. An rvalue source is moved from.
    template <class Source>
    void AssignBaseFieldsFrom(Source&& source);

private:
    std::string DeviceID;
    std::string SpeedDuplex;
    std::string Name;
    std::string PermanentAddress;
    std::string Description;
    std::string OtherIdentifyingInfo;
    std::string MacAddress;
    std::int32_t LinkTechnology = 0;
    bool DhcpEnabled = false;
    std::string DhcpServer;
    bool HaveWins = false;
    std::string PrimaryWinsServer;
    std::string SecondaryWinsServer;
    std::int32_t EnabledState = 0;
    CimValueList DnsServers;
    CimValueList GatewayList;
    CimValueList NetworkAddresses;
    std::uint64_t Speed = 0;
    std::int32_t ActiveMaximumTransmissionUnit = 0;
    bool AutoConfigActive = false;
    bool AutoConfigEnabled = false;
    std::int32_t PortNumber = 0;
    TextList IPv4AddressList;
    TextList IPv6AddressList;
    std::string FirmwareVersion;
    std::string SecondFirmwareVersion;
    std::string PCIDeviceID;
    std::string ASFFirmwareVersion;
    std::int32_t NicType = 0;
    std::int32_t TeamID = 0;
    bool InTeam = false;
    bool DriverLoaded = false;
    bool ExcludeIP = false;
};

// An adapter of the physical list: a standalone adapter or a team member.
class PhysicalNetworkAdapter : public NetworkAdapter {
public:
    PhysicalNetworkAdapter() = default;
    // The record enumeration and the registry lookup append for an adapter
    // nobody created before. ExcludeIP is read afresh; NicType, TeamID and
    // InTeam keep their defaults.
    explicit PhysicalNetworkAdapter(const NetworkAdapter& source);
    // The same, for a record that is discarded right after.
    explicit PhysicalNetworkAdapter(NetworkAdapter&& source);
    ~PhysicalNetworkAdapter() override = default;

    std::string GetVendorName() const { return VendorName; }
    void SetVendorName(std::string value) { VendorName = std::move(value); }
    std::int32_t GetMemberType() const { return MemberType; }
    void SetMemberType(std::int32_t value) { MemberType = value; }
    std::string GetTeamName() const { return TeamName; }
    void SetTeamName(std::string value) { TeamName = std::move(value); }
    std::int32_t GetMemberTeamID() const { return MemberTeamID; }
    void SetMemberTeamID(std::int32_t value) { MemberTeamID = value; }
    std::int32_t GetMemberPriority() const { return MemberPriority; }
    void SetMemberPriority(std::int32_t value) { MemberPriority = value; }

private:
    std::string VendorName;
    std::int32_t MemberType = 0;
    std::string TeamName;
    std::int32_t MemberTeamID = 0;
    std::int32_t MemberPriority = 0;
};

// A team's or VLAN's virtual adapter; only team collectors create these.
class VirtualNetworkAdapter : public NetworkAdapter {
public:
    VirtualNetworkAdapter() = default;
    ~VirtualNetworkAdapter() override = default;

    std::string GetVendorName() const { return VendorName; }
    void SetVendorName(std::string value) { VendorName = std::move(value); }
    std::int32_t GetVlanID() const { return VlanID; }
    void SetVlanID(std::int32_t value) { VlanID = value; }
    std::string GetVlanName() const { return VlanName; }
    void SetVlanName(std::string value) { VlanName = std::move(value); }

private:
    std::string VendorName;
    std::int32_t VlanID = 0;
    std::string VlanName;
};

}  // namespace linkscope
