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
std::vector<std::uint8_t> Request(std::uint16_t type, const Header& header, std::uint16_t flags = NLM_F_DUMP) {
    std::vector<std::uint8_t> request(NLMSG_SPACE(sizeof(Header)), 0);
    nlmsghdr message{};
    message.nlmsg_len = static_cast<std::uint32_t>(request.size());
    message.nlmsg_type = type;
    message.nlmsg_flags = static_cast<std::uint16_t>(NLM_F_REQUEST | flags);
    std::memcpy(request.data(), &message, sizeof message);
    std::memcpy(request.data() + NLMSG_HDRLEN, &header, sizeof header);
    return request;
}

// An attribute holding `value`'s bytes, appended to a message or to the
// attributes nested in another; the message's length is set on sending.
void AppendAttribute(std::vector<std::uint8_t>& request, std::uint16_t type, const void* value, std::size_t size) {
    rtattr attribute{};
    attribute.rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
    attribute.rta_type = type;
    const std::size_t offset = request.size();
    request.resize(offset + RTA_SPACE(size), 0);
    std::memcpy(request.data() + offset, &attribute, sizeof attribute);
    std::memcpy(request.data() + offset + RTA_LENGTH(0), value, size);
}

void AppendU32Attribute(std::vector<std::uint8_t>& request, std::uint16_t type, std::uint32_t value) {
    AppendAttribute(request, type, &value, sizeof value);
}

// A dump read into records by `append`, one datagram at a time.
template <class Record>
int DumpInto(NetlinkSocket& socket, std::vector<std::uint8_t> request,
             void (*append)(const std::uint8_t*, std::size_t, std::vector<Record>&), std::vector<Record>& out,
             const DumpWatch<Record>* watch = nullptr) {
    out.clear();
    const int error = socket.Exchange(
        std::move(request),
        [&] {
            out.clear();
            if (watch) watch->restarted();
        },
        [&](const std::uint8_t* data, std::size_t size) {
            const std::size_t from = out.size();
            append(data, size, out);
            if (watch) watch->arrived(out, from);
        });
    if (error != 0) out.clear();
    return error;
}

genlmsghdr GenericCommand(std::uint8_t command) {
    genlmsghdr header{};
    header.cmd = command;
    header.version = 1;
    return header;
}

}  // namespace

NetlinkSocket::NetlinkSocket(int protocol) : fd_(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, protocol)) {
    if (!fd_.IsOpen()) {
        openError_ = errno;
        return;
    }
    const timeval timeout{kReplyTimeoutSeconds, 0};
    ::setsockopt(fd_.Get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
}

RouteNetlink::RouteNetlink() : socket_(NETLINK_ROUTE) {
    // Lets the kernel filter a dump by the request's header (the route
    // table); an older kernel without it sends everything.
    const int on = 1;
    ::setsockopt(socket_.Fd(), SOL_NETLINK, NETLINK_GET_STRICT_CHK, &on, sizeof on);
}

int RouteNetlink::DumpLinks(std::vector<LinkRecord>& out, const DumpWatch<LinkRecord>* watch) {
    ifinfomsg header{};
    header.ifi_family = AF_UNSPEC;
    std::vector<std::uint8_t> request = Request(RTM_GETLINK, header);
    AppendU32Attribute(request, IFLA_EXT_MASK, RTEXT_FILTER_SKIP_STATS);
    return DumpInto(socket_, std::move(request), AppendLinks, out, watch);
}

int RouteNetlink::DumpAddresses(std::vector<AddressRecord>& out) {
    ifaddrmsg header{};
    header.ifa_family = AF_UNSPEC;
    return DumpInto(socket_, Request(RTM_GETADDR, header), AppendAddresses, out);
}

int RouteNetlink::DumpIpv4MainRoutes(std::vector<RouteRecord>& out) {
    rtmsg header{};
    header.rtm_family = AF_INET;
    header.rtm_table = RT_TABLE_MAIN;
    return DumpInto(socket_, Request(RTM_GETROUTE, header), AppendRoutes, out);
}

std::optional<std::vector<LinkModesRecord>> DumpLinkModes() {
    NetlinkSocket socket(NETLINK_GENERIC);
    std::vector<std::uint8_t> family = Request(GENL_ID_CTRL, GenericCommand(CTRL_CMD_GETFAMILY), NLM_F_ACK);
    AppendAttribute(family, CTRL_ATTR_FAMILY_NAME, ETHTOOL_GENL_NAME, sizeof ETHTOOL_GENL_NAME);
    DumpReply answer = socket.Exchange(std::move(family));
    const std::uint16_t familyId = answer.error == 0 ? ParseFamilyId(answer.datagrams) : 0;
    if (familyId == 0) return std::nullopt;

    // Bit sets in their compact form: only speed and duplex are read.
    std::vector<std::uint8_t> headerFlags;
    AppendU32Attribute(headerFlags, ETHTOOL_A_HEADER_FLAGS, ETHTOOL_FLAG_COMPACT_BITSETS);
    std::vector<std::uint8_t> dump = Request(familyId, GenericCommand(ETHTOOL_MSG_LINKMODES_GET));
    AppendAttribute(dump, ETHTOOL_A_LINKMODES_HEADER | NLA_F_NESTED, headerFlags.data(), headerFlags.size());
    answer = socket.Exchange(std::move(dump));
    if (answer.error != 0) return std::nullopt;
    return ParseLinkModesDump(answer.datagrams, familyId);
}

DumpReply NetlinkSocket::Exchange(std::vector<std::uint8_t> request) {
    DumpReply reply;
    reply.error = Exchange(
        std::move(request), [&] { reply.datagrams.clear(); },
        [&](const std::uint8_t* data, std::size_t size) { reply.datagrams.emplace_back(data, data + size); });
    return reply;
}

int NetlinkSocket::Exchange(std::vector<std::uint8_t> request, const std::function<void()>& restart,
                            const DatagramSink& take) {
    if (!fd_.IsOpen()) return openError_;
    int error = 0;
    for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
        if (attempt != 0) restart();
        const std::uint32_t sequence = ++sequence_;
        const auto length = static_cast<std::uint32_t>(request.size());
        std::memcpy(request.data() + offsetof(nlmsghdr, nlmsg_len), &length, sizeof length);
        std::memcpy(request.data() + offsetof(nlmsghdr, nlmsg_seq), &sequence, sizeof sequence);
        bool interrupted = false;
        error = ExchangeOnce(request, take, &interrupted);
        if (error != 0 || !interrupted) break;
    }
    return error;
}

int NetlinkSocket::ExchangeOnce(const std::vector<std::uint8_t>& request, const DatagramSink& take,
                                bool* interrupted) {
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(fd_.Get(), request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&kernel),
                 sizeof kernel) < 0) {
        return errno;
    }
    buffer_.resize(kReceiveBufferSize);
    for (;;) {
        iovec part{buffer_.data(), buffer_.size()};
        msghdr message{};
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        const ssize_t received = ::recvmsg(fd_.Get(), &message, 0);
        if (received < 0 && errno == EINTR) continue;
        if (received <= 0 || (message.msg_flags & MSG_TRUNC)) {
            return received < 0 ? errno : (received == 0 ? EPIPE : EMSGSIZE);
        }
        const auto size = static_cast<std::size_t>(received);
        const DumpProgress progress = InspectDumpDatagram(buffer_.data(), size);
        take(buffer_.data(), size);
        *interrupted = *interrupted || progress.interrupted;
        if (progress.finished) return progress.error;
    }
}

}  // namespace linkscope::live
