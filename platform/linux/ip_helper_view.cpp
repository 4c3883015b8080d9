#include "platform/linux/ip_helper_view.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>

#include "platform/linux/interface_codes.h"
#include "platform/linux/os_headers.h"

namespace linkscope::live {
namespace {

constexpr char kNoAddress[] = "0.0.0.0";
constexpr std::size_t kMaxHardwareAddress = 8;

// "a.b.c.d", written by hand: one call per address and mask of every
// interface, where a formatted print costs more than the rest of the entry.
std::string Dotted(std::uint32_t hostOrder) {
    char text[16];
    char* end = text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        end = std::to_chars(end, text + sizeof text, (hostOrder >> shift) & 0xFF).ptr;
        if (shift != 0) *end++ = '.';
    }
    return std::string(text, end);
}

template <class Bytes>
std::uint32_t HostOrder(const Bytes& bytes) {
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

std::string MaskOfPrefix(std::uint8_t prefixLength) {
    const unsigned bits = std::min<unsigned>(prefixLength, 32);
    return Dotted(bits == 0 ? 0 : ~std::uint32_t{0} << (32 - bits));
}

bool IsLinkLocal(const AddressRecord& address) { return address.local[0] == 169 && address.local[1] == 254; }

bool IsDottedIpv4(const std::string& text) {
    in_addr parsed;
    return inet_pton(AF_INET, text.c_str(), &parsed) == 1;
}

// Success when every dump an answer needs succeeded, else the first failure.
platform::ResultCode ResultOfDumps(std::initializer_list<int> errors) {
    for (const int error : errors) {
        if (error != 0) return ResultOfErrno(error);
    }
    return platform::kSuccess;
}

}  // namespace

platform::ResultCode ResultOfErrno(int error) {
    return (error == ENOMEM || error == ENOBUFS) ? platform::kNotEnoughMemory : platform::kNotSupported;
}

IpHelperView::IpHelperView(std::shared_ptr<const NetworkSnapshot> snapshot)
    : snapshot_(std::move(snapshot)), links_(LinksInIndexOrder(*snapshot_)), addresses_(links_.size()) {
    // What belongs to no listed interface is never asked for. The IPv4
    // addresses of all links share one list, each link's in one run.
    std::vector<std::pair<std::size_t, const AddressRecord*>> ipv4;
    for (const AddressRecord& address : snapshot_->addresses) {
        const std::optional<std::size_t> at = PositionOf(address.index);
        if (!at) continue;
        if (address.family == kFamilyInet && address.local.size() == 4) {
            ipv4.emplace_back(*at, &address);
        } else if (address.family == kFamilyInet6 && address.local.size() == 16) {
            auto& first = addresses_[*at].firstIpv6;
            if (first == nullptr) first = &address;
        }
    }
    std::stable_sort(ipv4.begin(), ipv4.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    ipv4_.reserve(ipv4.size());
    for (const auto& [at, address] : ipv4) {
        if (addresses_[at].ipv4End == 0) addresses_[at].ipv4Begin = addresses_[at].ipv4End = ipv4_.size();
        ipv4_.push_back(address);
        ++addresses_[at].ipv4End;
    }
    for (const RouteRecord& route : snapshot_->routes) {
        if (route.table != kTableMain || route.type != kRouteUnicast || route.destinationLength != 0) continue;
        for (const NextHop& hop : route.hops) {
            const std::optional<std::size_t> at = PositionOf(hop.interfaceIndex);
            if (!at || hop.gateway.size() != 4) continue;
            addresses_[*at].gateways.push_back(Dotted(HostOrder(hop.gateway)));
        }
    }
}

const IpHelperView::LinkAddresses& IpHelperView::AddressesOfLink(std::size_t position) const {
    return addresses_[*PositionOf(links_[position]->index)];
}

// The first of equal indexes, as a lookup in a table by index finds it.
std::optional<std::size_t> IpHelperView::PositionOf(std::uint32_t index) const {
    const auto it = std::lower_bound(links_.begin(), links_.end(), index,
                                     [](const LinkRecord* link, std::uint32_t wanted) { return link->index < wanted; });
    if (it == links_.end() || (*it)->index != index) return std::nullopt;
    return static_cast<std::size_t>(it - links_.begin());
}

platform::AdapterEntry IpHelperView::EntryOf(const LinkRecord& link, const LinkAddresses& addresses) const {
    const DeviceDetails* details = DetailsOf(*snapshot_, link.index);
    platform::AdapterEntry entry;
    entry.adapterName = link.name;
    entry.description = DescriptionOf(link, details);
    // A bond slave carries its bond's address while enslaved (all of an
    // active-backup bond's slaves the same one); its own is the one it
    // had before, which tells the slaves apart.
    const std::vector<std::uint8_t>& address = link.slaveOwnAddress.empty() ? link.address : link.slaveOwnAddress;
    entry.hardwareAddress.assign(address.begin(), address.begin() + std::min(address.size(), kMaxHardwareAddress));
    entry.index = link.index;
    entry.type = InterfaceTypeOf(link.hardwareType, details != nullptr && details->wireless);
    for (std::size_t i = addresses.ipv4Begin; i < addresses.ipv4End; ++i) {
        const AddressRecord* address = ipv4_[i];
        entry.ipAddresses.push_back({Dotted(HostOrder(address->local)), MaskOfPrefix(address->prefixLength)});
        if (!(address->flags & kAddressPermanent)) entry.dhcpEnabled = 1;
    }
    for (const std::string& gateway : addresses.gateways) entry.gateways.push_back({gateway, ""});
    if (entry.dhcpEnabled != 0) {
        const auto server = snapshot_->dhcpServers.find(link.index);
        if (server != snapshot_->dhcpServers.end()) entry.dhcpServer = server->second;
    }
    if (entry.ipAddresses.empty()) entry.ipAddresses.push_back({kNoAddress, kNoAddress});
    if (entry.gateways.empty()) entry.gateways.push_back({kNoAddress, ""});
    return entry;
}

platform::AdaptersAnswer IpHelperView::Adapters() const {
    platform::AdaptersAnswer answer;
    answer.result = ResultOfDumps({snapshot_->linkError, snapshot_->addressError, snapshot_->routeError});
    if (answer.result != platform::kSuccess) return answer;
    answer.adapters.reserve(static_cast<std::size_t>(
        std::count_if(links_.begin(), links_.end(), [](const LinkRecord* link) { return link->flags & kFlagUp; })));
    for (std::size_t i = 0; i < links_.size(); ++i) {
        if (links_[i]->flags & kFlagUp) answer.adapters.push_back(EntryOf(*links_[i], AddressesOfLink(i)));
    }
    if (answer.adapters.empty()) answer.result = platform::kNoData;
    return answer;
}

platform::InterfacePairsAnswer IpHelperView::Pairs() const {
    platform::InterfacePairsAnswer answer;
    answer.result = ResultOfDumps({snapshot_->linkError});
    if (answer.result != platform::kSuccess) return answer;
    for (const LinkRecord* link : links_) {
        if (link->flags & kFlagUp) answer.pairs.push_back({link->index, link->name});
    }
    return answer;
}

platform::InterfaceTableAnswer IpHelperView::Table() const {
    platform::InterfaceTableAnswer answer;
    answer.result = ResultOfDumps({snapshot_->linkError});
    if (answer.result != platform::kSuccess) return answer;
    answer.rows.reserve(links_.size());
    for (const LinkRecord* link : links_) {
        answer.rows.push_back({link->index, link->mtu, OperStatusOf(link->operState, link->flags)});
    }
    return answer;
}

platform::PerAdapterAnswer IpHelperView::PerAdapter(std::uint32_t index) const {
    platform::PerAdapterAnswer answer;
    const std::optional<std::size_t> at = PositionOf(index);
    if (!at) {
        answer.result = platform::kInvalidParameter;
        return answer;
    }
    const LinkAddresses& addresses = addresses_[*at];
    const bool linkLocal = std::any_of(ipv4_.begin() + addresses.ipv4Begin, ipv4_.begin() + addresses.ipv4End,
                                       [](const AddressRecord* address) { return IsLinkLocal(*address); });
    answer.autoconfigEnabled = answer.autoconfigActive = linkLocal ? 1 : 0;
    const auto perLink = snapshot_->linkDnsServers.find(index);
    const std::vector<std::string>& servers =
        perLink != snapshot_->linkDnsServers.end() ? perLink->second : snapshot_->resolverDnsServers;
    std::copy_if(servers.begin(), servers.end(), std::back_inserter(answer.dnsServers), IsDottedIpv4);
    if (answer.dnsServers.empty()) answer.dnsServers.emplace_back();
    return answer;
}

platform::Ipv6Answer IpHelperView::Ipv6() const {
    platform::Ipv6Answer answer;
    answer.result = ResultOfDumps({snapshot_->linkError, snapshot_->addressError});
    if (answer.result != platform::kSuccess) return answer;
    answer.entries.reserve(links_.size());
    for (std::size_t i = 0; i < links_.size(); ++i) {
        platform::Ipv6Entry entry;
        entry.adapterName = links_[i]->name;
        if (const AddressRecord* first = AddressesOfLink(i).firstIpv6) {
            entry.hasUnicast = true;
            std::copy_n(first->local.begin(), entry.firstUnicast.size(), entry.firstUnicast.begin());
        }
        answer.entries.push_back(std::move(entry));
    }
    return answer;
}

}  // namespace linkscope::live
