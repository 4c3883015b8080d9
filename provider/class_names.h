// Names of the classes that more than one section builds or looks up.
#pragma once

namespace linkscope::provider {

inline constexpr char kVirtualPortClass[] = "QRXSG_VirtualNetworkPort";
inline constexpr char kPhysicalPortClass[] = "QRXSG_PhysicalNetworkPort";
inline constexpr char kEndpointClass[] = "QRXSG_IPProtocolEndpoint";
inline constexpr char kPortImplementsEndpointClass[] = "QRXSG_PortImplementsEndpoint";

}  // namespace linkscope::provider
