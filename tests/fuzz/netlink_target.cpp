#include <memory>

#include "fuzz_input.h"
#include "platform/linux/device_view.h"
#include "platform/linux/interface_codes.h"
#include "platform/linux/ip_helper_view.h"
#include "platform/linux/kernel_links_view.h"
#include "platform/linux/netlink_parse.h"
#include "targets.h"

namespace linkscope::fuzz {
namespace {

using namespace live;

bool TextEnds(const std::string& text) { return text.find('\0') == std::string::npos; }

// Frames of the input: a selector byte, then a datagram of one of the three
// dumps, or what the driver says of one interface.
struct Dumps {
    std::vector<Datagram> links, addresses, routes;
    std::unordered_map<std::uint32_t, DeviceDetails> devices;
};

Dumps Split(FuzzInput& in) {
    Dumps dumps;
    while (!in.Empty()) {
        const std::uint32_t what = in.Below(4);
        if (what == 3) {
            DeviceDetails details;
            details.driver = in.Text(16);
            details.label = in.Text(16);
            details.wireless = in.Flag();
            if (in.Flag()) details.speedMbps = in.Number<std::uint32_t>();
            details.duplex = in.Number<std::uint8_t>();
            dumps.devices[in.Below(8)] = std::move(details);
            continue;
        }
        Datagram datagram = in.Bytes(4096);
        (what == 0 ? dumps.links : what == 1 ? dumps.addresses : dumps.routes).push_back(std::move(datagram));
    }
    return dumps;
}

void CheckConversions(const std::shared_ptr<const NetworkSnapshot>& snapshot) {
    const IpHelperView view(snapshot);
    view.Adapters();
    view.Pairs();
    view.Table();
    view.Ipv6();
    for (const LinkRecord& link : snapshot->links) {
        view.PerAdapter(link.index);
        const DeviceDetails* details = DetailsOf(*snapshot, link.index);
        InterfaceTypeOf(link.hardwareType, details && details->wireless);
        FUZZ_CHECK(OperStatusOf(link.operState, link.flags) <= 5);
        if (!link.name.empty()) FUZZ_CHECK(!DescriptionOf(link, details).empty());
        if (details) SpeedDuplexOf(*details);
    }
    view.PerAdapter(0);
    FUZZ_CHECK(KernelLinksOf(snapshot->links).size() == snapshot->links.size());
    PresentDevices(*snapshot);
    BuildDeviceRegistry(*snapshot);
}

}  // namespace

void NetlinkTarget(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    Dumps dumps = Split(in);
    for (const auto* dump : {&dumps.links, &dumps.addresses, &dumps.routes}) {
        for (const Datagram& datagram : *dump) {
            const DumpProgress progress = InspectDumpDatagram(datagram);
            FUZZ_CHECK(progress.error >= 0);
        }
    }
    auto snapshot = std::make_shared<NetworkSnapshot>();
    snapshot->links = ParseLinkDump(dumps.links);
    snapshot->addresses = ParseAddressDump(dumps.addresses);
    snapshot->routes = ParseRouteDump(dumps.routes);
    snapshot->devices = std::move(dumps.devices);
    // The generic-netlink replies: the route frames stand for the family
    // controller's answer, the address frames for the link-modes dump,
    // under the family id the controller named or the first frame's type.
    std::uint16_t familyId = ParseFamilyId(dumps.routes);
    if (familyId == 0 && !dumps.addresses.empty() && dumps.addresses.front().size() >= 6) {
        familyId = static_cast<std::uint16_t>(dumps.addresses.front()[4] | dumps.addresses.front()[5] << 8);
    }
    ParseLinkModesDump(dumps.addresses, familyId);
    // Texts end at their attribute's NUL or end.
    for (const LinkRecord& link : snapshot->links) {
        FUZZ_CHECK(TextEnds(link.name) && TextEnds(link.kind) && TextEnds(link.slaveKind) &&
                   TextEnds(link.parentDevice));
    }
    CheckConversions(snapshot);
}

}  // namespace linkscope::fuzz
