#include "platform/linux/netlink_dump.h"

#include <cerrno>
#include <cstddef>
#include <cstring>

#include "platform/linux/os_headers.h"

namespace linkscope::live {
namespace {

// Large enough for any datagram the kernel builds for a dump.
constexpr std::size_t kReceiveBufferSize = 64 * 1024;
constexpr int kDumpAttempts = 3;
constexpr int kReplyTimeoutSeconds = 5;

template <class Header>
std::vector<std::uint8_t> DumpRequest(std::uint16_t type, const Header& header) {
    std::vector<std::uint8_t> request(NLMSG_SPACE(sizeof(Header)), 0);
    nlmsghdr message{};
    message.nlmsg_len = static_cast<std::uint32_t>(request.size());
    message.nlmsg_type = type;
    message.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    std::memcpy(request.data(), &message, sizeof message);
    std::memcpy(request.data() + NLMSG_HDRLEN, &header, sizeof header);
    return request;
}

void AppendU32Attribute(std::vector<std::uint8_t>& request, std::uint16_t type, std::uint32_t value) {
    rtattr attribute{};
    attribute.rta_len = RTA_LENGTH(sizeof value);
    attribute.rta_type = type;
    const std::size_t offset = request.size();
    request.resize(offset + RTA_SPACE(sizeof value), 0);
    std::memcpy(request.data() + offset, &attribute, sizeof attribute);
    std::memcpy(request.data() + offset + RTA_LENGTH(0), &value, sizeof value);
    const auto length = static_cast<std::uint32_t>(request.size());
    std::memcpy(request.data() + offsetof(nlmsghdr, nlmsg_len), &length, sizeof length);
}

}  // namespace

RouteNetlink::RouteNetlink() : fd_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {
    if (!fd_.IsOpen()) {
        openError_ = errno;
        return;
    }
    // Lets the kernel filter a dump by the request's header (the route
    // table); an older kernel without it sends everything.
    const int on = 1;
    ::setsockopt(fd_.Get(), SOL_NETLINK, NETLINK_GET_STRICT_CHK, &on, sizeof on);
    const timeval timeout{kReplyTimeoutSeconds, 0};
    ::setsockopt(fd_.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
}

DumpReply RouteNetlink::DumpLinks() {
    ifinfomsg header{};
    header.ifi_family = AF_UNSPEC;
    std::vector<std::uint8_t> request = DumpRequest(RTM_GETLINK, header);
    AppendU32Attribute(request, IFLA_EXT_MASK, RTEXT_FILTER_SKIP_STATS);
    return Dump(std::move(request));
}

DumpReply RouteNetlink::DumpAddresses() {
    ifaddrmsg header{};
    header.ifa_family = AF_UNSPEC;
    return Dump(DumpRequest(RTM_GETADDR, header));
}

DumpReply RouteNetlink::DumpIpv4MainRoutes() {
    rtmsg header{};
    header.rtm_family = AF_INET;
    header.rtm_table = RT_TABLE_MAIN;
    return Dump(DumpRequest(RTM_GETROUTE, header));
}

DumpReply RouteNetlink::Dump(std::vector<std::uint8_t> request) {
    if (!fd_.IsOpen()) return DumpReply{openError_, {}};
    DumpReply reply;
    for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
        const std::uint32_t sequence = ++sequence_;
        std::memcpy(request.data() + offsetof(nlmsghdr, nlmsg_seq), &sequence, sizeof sequence);
        bool interrupted = false;
        reply = DumpOnce(request, &interrupted);
        if (reply.error != 0 || !interrupted) break;
    }
    return reply;
}

DumpReply RouteNetlink::DumpOnce(const std::vector<std::uint8_t>& request, bool* interrupted) {
    DumpReply reply;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(fd_.Get(), request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&kernel),
                 sizeof kernel) < 0) {
        reply.error = errno;
        return reply;
    }
    std::vector<std::uint8_t> buffer(kReceiveBufferSize);
    for (;;) {
        iovec part{buffer.data(), buffer.size()};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        const ssize_t received = ::recvmsg(fd_.Get(), &message, 0);
        if (received < 0 && errno == EINTR) continue;
        if (received <= 0 || (message.msg_flags & MSG_TRUNC)) {
            reply.error = received < 0 ? errno : (received == 0 ? EPIPE : EMSGSIZE);
            return reply;
        }
        Datagram datagram(buffer.begin(), buffer.begin() + received);
        const DumpProgress progress = InspectDumpDatagram(datagram);
        reply.datagrams.push_back(std::move(datagram));
        *interrupted = *interrupted || progress.interrupted;
        if (progress.finished) {
            reply.error = progress.error;
            return reply;
        }
    }
}

}  // namespace linkscope::live
