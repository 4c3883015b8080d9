// Names of the classes that more than one section builds or looks up.
#pragma once

namespace linkscope::provider {

inline constexpr char kVirtualPortClass[] = "QRXSG_VirtualNetworkPort";
inline constexpr char kPhysicalPortClass[] = "QRXSG_PhysicalNetworkPort";
inline constexpr char kEndpointClass[] = "QRXSG_IPProtocolEndpoint";
inline constexpr char kFirmwareElementClass[] = "QRXSG_BcmDeviceFirmwareElement";
inline constexpr char kPortImplementsEndpointClass[] = "QRXSG_PortImplementsEndpoint";
inline constexpr char kSpareGroupClass[] = "QRXSG_SpareGroup";
inline constexpr char kNetworkingGroupClass[] = "QRXSG_VirtualNetworkingGroup";
inline constexpr char kNetworkingPortComponentClass[] = "QRXSG_VirtualNetworkingPortComponent";
inline constexpr char kActsAsSpareClass[] = "QRXSG_ActsAsSpare";
inline constexpr char kRedundancyComponentClass[] = "QRXSG_RedundancyComponent";
inline constexpr char kRedundancyGroupComponentClass[] = "QRXSG_VirtualNetworkingRedundancyGroupComponent";

}  // namespace linkscope::provider
