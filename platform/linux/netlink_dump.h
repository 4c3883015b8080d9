// Netlink requests of the live backend: the kernel's interface, address
// and route tables, and the drivers' link modes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/linux/netlink_parse.h"
#include "platform/linux/unique_fd.h"

namespace linkscope::live {

struct DumpReply {
    int error = 0;  // errno of the socket or the kernel; 0 when the dump finished
    std::vector<Datagram> datagrams;
};

// One netlink socket of the calling thread's network namespace.
class NetlinkSocket {
public:
    // Takes one datagram of a reply, in a buffer that the next one reuses.
    using DatagramSink = std::function<void(const std::uint8_t* data, std::size_t size)>;

    explicit NetlinkSocket(int protocol);

    int Fd() const { return fd_.Get(); }
    // Sends `request` and reads the reply up to its closing message: the
    // end of a dump, or the acknowledgement a request asked for. A dump the
    // kernel marks as interrupted by a concurrent change is asked again, a
    // few times at most; the last reply is kept.
    DumpReply Exchange(std::vector<std::uint8_t> request);
    // The same, handing each datagram to `take` as it arrives instead of
    // keeping it; `restart` is called before a dump is asked again, to drop
    // what the interrupted one gave. Returns the reply's error.
    int Exchange(std::vector<std::uint8_t> request, const std::function<void()>& restart, const DatagramSink& take);

private:
    int ExchangeOnce(const std::vector<std::uint8_t>& request, const DatagramSink& take, bool* interrupted);

    UniqueFd fd_;
    int openError_ = 0;
    std::uint32_t sequence_ = 0;
    std::vector<std::uint8_t> buffer_;
};

// Follows a dump as it is read: `arrived` is given the records so far and
// the position of the first one the last datagram added; `restarted` is
// called when an interrupted dump is asked again and its records dropped.
template <class Record>
struct DumpWatch {
    std::function<void(const std::vector<Record>& records, std::size_t from)> arrived;
    std::function<void()> restarted;
};

// Dumps of the kernel's interface, address and route tables over one
// routing-netlink socket, each read into records as it arrives. Each
// returns the dump's error and leaves `out` empty when there is one.
class RouteNetlink {
public:
    RouteNetlink();

    // Every interface, without statistics.
    int DumpLinks(std::vector<LinkRecord>& out, const DumpWatch<LinkRecord>* watch = nullptr);
    // The addresses of both families.
    int DumpAddresses(std::vector<AddressRecord>& out);
    // The IPv4 routes; the kernel leaves out other tables than the main one
    // where it can filter, so the reader still checks the table.
    int DumpIpv4MainRoutes(std::vector<RouteRecord>& out);

private:
    NetlinkSocket socket_;
};

// The link speed and duplex of every interface whose driver has link
// settings, in one dump of the kernel's ethtool family over generic
// netlink; nothing when the kernel has no such family or refuses the dump.
std::optional<std::vector<LinkModesRecord>> DumpLinkModes();

}  // namespace linkscope::live
