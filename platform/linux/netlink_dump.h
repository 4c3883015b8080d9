// Dumps of the kernel's interface, address and route tables over one
// routing-netlink socket of the calling thread's network namespace.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/linux/netlink_parse.h"
#include "platform/linux/unique_fd.h"

namespace linkscope::live {

struct DumpReply {
    int error = 0;  // errno of the socket or the kernel; 0 when the dump finished
    std::vector<Datagram> datagrams;
};

class RouteNetlink {
public:
    RouteNetlink();

    // Every interface, without statistics.
    DumpReply DumpLinks();
    // The addresses of both families.
    DumpReply DumpAddresses();
    // The IPv4 routes; the kernel leaves out other tables than the main one
    // where it can filter, so the reader still checks the table.
    DumpReply DumpIpv4MainRoutes();

private:
    // Sends `request` and reads the reply to its end. A dump the kernel
    // marks as interrupted by a concurrent change is asked again, a few
    // times at most; the last reply is kept.
    DumpReply Dump(std::vector<std::uint8_t> request);
    DumpReply DumpOnce(const std::vector<std::uint8_t>& request, bool* interrupted);

    UniqueFd fd_;
    int openError_ = 0;
    std::uint32_t sequence_ = 0;
};

}  // namespace linkscope::live
