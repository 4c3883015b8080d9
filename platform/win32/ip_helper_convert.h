// Pure conversions of the IP Helper buffers into the platform's plain
// structs. Each takes the whole buffer the call filled (the structure the
// call describes at its start) and reads only what lies inside it: a chain
// link or a text pointer leading outside ends that chain or reads as empty.
#pragma once

#include <vector>

#include "platform/ip_helper.h"
#include "platform/win32/os_bytes.h"

namespace linkscope::win32 {

// FIXED_INFO: host and domain name, routing and proxy flags.
platform::FixedInfo ConvertFixedInfo(const OsBytes& buffer);

// The IP_ADAPTER_INFO chain, in chain order. Each address, gateway list
// holds the embedded first entry and then its chain.
std::vector<platform::AdapterEntry> ConvertAdaptersInfo(const OsBytes& buffer);

// IP_INTERFACE_INFO: (index, device name) pairs, names narrowed as "%S" does.
std::vector<platform::InterfacePair> ConvertInterfaceInfo(const OsBytes& buffer);

// MIB_IFTABLE rows, in table order.
std::vector<platform::InterfaceRow> ConvertIfTable(const OsBytes& buffer);

// IP_PER_ADAPTER_INFO: both autoconfiguration flags and the DNS server
// chain. The result code is left to the caller.
platform::PerAdapterAnswer ConvertPerAdapterInfo(const OsBytes& buffer);

// The IP_ADAPTER_ADDRESSES chain: each entry's adapter name and the 16
// address bytes of its first unicast address, when that is an IPv6 socket
// address.
std::vector<platform::Ipv6Entry> ConvertAdapterAddresses(const OsBytes& buffer);

}  // namespace linkscope::win32
