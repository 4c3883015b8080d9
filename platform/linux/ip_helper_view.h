// The IP configuration answers of one network snapshot. Pure: built from
// the snapshot's records alone, so every rule is testable without a kernel.
//
//  - Adapters are the administratively up interfaces in interface-index
//    order; adapter name and device name are both the interface name.
//  - IPv4 addresses keep the kernel's order, each with its dotted mask; an
//    adapter without one reports "0.0.0.0"/"0.0.0.0", as the system fills
//    the embedded first entry in any case. Gateways are the main table's
//    default routes through the interface, else "0.0.0.0".
//  - DHCP is on where an IPv4 address is dynamic (has a lifetime); the
//    server is the one a DHCP client's lease names, else empty.
//  - Autoconfiguration is enabled and active where the interface holds an
//    IPv4 link-local address (169.254/16).
//  - DNS servers are the resolver's per-link servers where it keeps any for
//    the interface, else the system resolver's; IPv4 ones only, as dotted
//    text, with one empty entry when there is none.
//  - The interface table lists every interface, up or not.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/ip_helper.h"
#include "platform/linux/kernel_records.h"

namespace linkscope::live {

// The result code a failed kernel request reports: "not enough memory" for
// a lack of memory or buffers, "not supported" for any other refusal.
platform::ResultCode ResultOfErrno(int error);

class IpHelperView {
public:
    explicit IpHelperView(std::shared_ptr<const NetworkSnapshot> snapshot);

    platform::AdaptersAnswer Adapters() const;
    platform::InterfacePairsAnswer Pairs() const;
    platform::InterfaceTableAnswer Table() const;
    // "Invalid parameter" for an index that names no interface.
    platform::PerAdapterAnswer PerAdapter(std::uint32_t index) const;
    // One entry per interface, each with its first IPv6 address, if any.
    platform::Ipv6Answer Ipv6() const;

private:
    struct LinkAddresses {
        std::size_t ipv4Begin = 0, ipv4End = 0;  // the link's IPv4 addresses in ipv4_
        const AddressRecord* firstIpv6 = nullptr;
        std::vector<std::string> gateways;
    };

    platform::AdapterEntry EntryOf(const LinkRecord& link, const LinkAddresses& addresses) const;
    // The position of the interface in links_, or nothing.
    std::optional<std::size_t> PositionOf(std::uint32_t index) const;
    // The addresses of the link at `position`, which it shares with any
    // earlier link of its index.
    const LinkAddresses& AddressesOfLink(std::size_t position) const;

    std::shared_ptr<const NetworkSnapshot> snapshot_;
    std::vector<const LinkRecord*> links_;  // by index
    std::vector<LinkAddresses> addresses_;  // each link's, at its position in links_
    std::vector<const AddressRecord*> ipv4_;  // by link position, in kernel order within a link
};

}  // namespace linkscope::live
