#include "platform/linux/snapshot_fetch.h"

#include <functional>
#include <future>
#include <optional>
#include <string>
#include <system_error>
#include <unordered_set>
#include <utility>

#include "platform/linux/config_text.h"
#include "platform/linux/ethtool_query.h"
#include "platform/linux/netlink_dump.h"
#include "platform/linux/os_headers.h"
#include "platform/linux/system_files.h"

namespace linkscope::live {
namespace {

constexpr char kSysClassNet[] = "/sys/class/net/";
constexpr char kResolvConf[] = "/etc/resolv.conf";
constexpr char kResolvedLinks[] = "/run/systemd/resolve/netif";
constexpr char kNetworkdLeases[] = "/run/systemd/netif/leases/";
constexpr char kNetworkManagerLeases[] = "/var/lib/NetworkManager/";
constexpr char kDhclientLeases[] = "/var/lib/dhcp/";
constexpr char kIpv4Forwarding[] = "/proc/sys/net/ipv4/ip_forward";

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool StartsWith(const std::string& text, const std::string& start) { return text.compare(0, start.size(), start) == 0; }

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

void ReadBusDevice(const LinkRecord& link, DeviceDetails& details) {
    const std::string folder = kSysClassNet + link.name;
    if (const auto label = ReadTextFile(folder + "/device/label", 256)) details.label = FirstLine(*label);
    details.wireless = PathExists(folder + "/wireless") || PathExists(folder + "/phy80211");
}

// The DHCP server of the interface's lease, from the first DHCP client
// that keeps one for it: the network daemon (by interface index), the
// network manager, dhclient.
class LeaseFinder {
public:
    LeaseFinder() : networkManagerFiles_(ListFolder(kNetworkManagerLeases)) {}

    std::string ServerOf(const LinkRecord& link) const {
        if (const auto lease = ReadTextFile(kNetworkdLeases + std::to_string(link.index))) {
            if (std::string server = ParseKeyValueLeaseServer(*lease); !server.empty()) return server;
        }
        for (const std::string& file : networkManagerFiles_) {
            if (!EndsWith(file, "-" + link.name + ".lease")) continue;
            const auto lease = ReadTextFile(kNetworkManagerLeases + file);
            if (!lease) continue;
            std::string server = StartsWith(file, "dhclient-") ? ParseDhclientLeaseServer(*lease, link.name)
                                                               : ParseKeyValueLeaseServer(*lease);
            if (!server.empty()) return server;
        }
        for (const std::string& file : {"dhclient." + link.name + ".leases", std::string("dhclient.leases")}) {
            const auto lease = ReadTextFile(kDhclientLeases + file);
            if (!lease) continue;
            if (std::string server = ParseDhclientLeaseServer(*lease, link.name); !server.empty()) return server;
        }
        return std::string();
    }

private:
    std::vector<std::string> networkManagerFiles_;
};

void FindDhcpServers(NetworkSnapshot& snapshot) {
    std::unordered_set<std::uint32_t> dynamic;
    for (const AddressRecord& address : snapshot.addresses) {
        if (address.family == kFamilyInet && !(address.flags & kAddressPermanent)) dynamic.insert(address.index);
    }
    if (dynamic.empty()) return;
    const LeaseFinder leases;
    for (const LinkRecord& link : snapshot.links) {
        if (!(link.flags & kFlagUp) || dynamic.count(link.index) == 0) continue;
        if (std::string server = leases.ServerOf(link); !server.empty()) snapshot.dhcpServers[link.index] = server;
    }
}

void ReadDnsServers(NetworkSnapshot& snapshot) {
    if (const auto text = ReadTextFile(kResolvConf)) snapshot.resolverDnsServers = ParseResolvConf(*text).nameservers;
    const std::vector<std::string> files = ListFolder(kResolvedLinks);
    if (files.empty()) return;
    std::unordered_set<std::string> indexes;
    for (const LinkRecord& link : snapshot.links) indexes.insert(std::to_string(link.index));
    for (const std::string& file : files) {
        if (indexes.count(file) == 0) continue;
        const auto text = ReadTextFile(std::string(kResolvedLinks) + "/" + file);
        if (!text) continue;
        std::vector<std::string> servers = ParseLinkStateServers(*text);
        if (!servers.empty()) snapshot.linkDnsServers[static_cast<std::uint32_t>(std::stoul(file))] = std::move(servers);
    }
}

// Runs `task` on a thread of its own, or when asked for where no thread
// can be started.
std::future<void> Aside(std::function<void()> task) {
    try {
        return std::async(std::launch::async, std::move(task));
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, std::move(task));
    }
}

}  // namespace

// Of a fetch, the interface dump and the ioctl per interface that names its
// driver take longest, and the ioctls grow fastest with the number of
// interfaces (the kernel finds each interface by name along hash chains).
// So the drivers are asked on a thread of their own as the dump brings the
// names in (and by this thread too, once the dump is done), and the
// address, route and link-mode dumps, which do not need the interfaces, run
// on a third.
NetworkSnapshot FetchNetworkSnapshot() {
    NetworkSnapshot snapshot;
    std::optional<EthtoolQuery> ethtool;
    std::future<void> tables = Aside([&snapshot, &ethtool] {
        RouteNetlink netlink;
        snapshot.addressError = netlink.DumpAddresses(snapshot.addresses);
        snapshot.routeError = netlink.DumpIpv4MainRoutes(snapshot.routes);
        ethtool.emplace();
    });
    DriverNames drivers;
    const DumpWatch<LinkRecord> watch{
        [&drivers](const std::vector<LinkRecord>& links, std::size_t from) { drivers.Add(links, from); },
        [&drivers] { drivers.Restart(); }};
    snapshot.linkError = RouteNetlink().DumpLinks(snapshot.links, &watch);
    tables.get();
    FindDhcpServers(snapshot);
    ReadDnsServers(snapshot);
    std::vector<std::string> driverNames = drivers.Take();
    snapshot.devices.reserve(snapshot.links.size());
    for (std::size_t i = 0; i < snapshot.links.size(); ++i) {
        const LinkRecord& link = snapshot.links[i];
        DeviceDetails details = ethtool->Ask(link.name, link.index);
        if (i < driverNames.size()) details.driver = std::move(driverNames[i]);
        if (!link.parentDevice.empty()) ReadBusDevice(link, details);
        snapshot.devices.emplace(link.index, std::move(details));
    }
    return snapshot;
}

HostFacts FetchHostFacts() {
    HostFacts facts;
    utsname names;
    if (::uname(&names) == 0) facts.hostName = names.nodename;
    if (const auto text = ReadTextFile(kResolvConf)) facts.resolverDomain = ParseResolvConf(*text).domain;
    if (const auto text = ReadTextFile(kIpv4Forwarding, 16)) {
        const std::string value = FirstLine(*text);
        if (!value.empty()) facts.ipv4Forwarding = value != "0";
    }
    return facts;
}

}  // namespace linkscope::live
