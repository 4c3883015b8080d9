#include <memory>

#include "fuzz_input.h"
#include "platform/linux/device_view.h"
#include "platform/linux/interface_codes.h"
#include "platform/linux/ip_helper_view.h"
#include "platform/linux/kernel_links_view.h"
#include "platform/linux/netlink_parse.h"
#include "platform/store_registry.h"
#include "support/platform_text.h"
#include "support/registry_text.h"
#include "targets.h"

namespace linkscope::fuzz {
namespace {

using namespace live;
using linkscope::testing::HexText;
using linkscope::testing::Text;

bool TextEnds(const std::string& text) { return text.find('\0') == std::string::npos; }

// What the parsers make of an input. Its frames are a selector byte, then
// a datagram of one of the three dumps, what the driver says of one
// interface, one interface's DHCP server, or a resolver server of one
// interface (of the whole system for interface 0).
struct Parsed {
    std::vector<Datagram> links, addresses, routes;
    std::shared_ptr<NetworkSnapshot> snapshot = std::make_shared<NetworkSnapshot>();
    std::uint16_t familyId = 0;
    std::vector<LinkModesRecord> linkModes;
};

Parsed Parse(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    Parsed parsed;
    while (!in.Empty()) {
        const std::uint32_t what = in.Below(6);
        if (what < 3) {
            (what == 0 ? parsed.links : what == 1 ? parsed.addresses : parsed.routes).push_back(in.Bytes(4096));
        } else if (what == 3) {
            DeviceDetails details;
            details.driver = in.Text(16);
            details.label = in.Text(16);
            details.wireless = in.Flag();
            if (in.Flag()) details.speedMbps = in.Number<std::uint32_t>();
            details.duplex = in.Number<std::uint8_t>();
            parsed.snapshot->devices[in.Below(8)] = std::move(details);
        } else {
            const std::uint32_t index = in.Below(8);
            std::string server = in.Text(40);
            if (what == 4) {
                parsed.snapshot->dhcpServers[index] = std::move(server);
            } else {
                (index == 0 ? parsed.snapshot->resolverDnsServers : parsed.snapshot->linkDnsServers[index])
                    .push_back(std::move(server));
            }
        }
    }
    // A dump the kernel ended with an error, as the backend sees it.
    const auto errorOf = [](const std::vector<Datagram>& dump) {
        for (const Datagram& datagram : dump) {
            if (const int error = InspectDumpDatagram(datagram).error) return error;
        }
        return 0;
    };
    parsed.snapshot->linkError = errorOf(parsed.links);
    parsed.snapshot->addressError = errorOf(parsed.addresses);
    parsed.snapshot->routeError = errorOf(parsed.routes);
    // Through the readers the live dumps use, one datagram at a time.
    NetworkSnapshot& snapshot = *parsed.snapshot;
    for (const Datagram& datagram : parsed.links) AppendLinks(datagram.data(), datagram.size(), snapshot.links);
    for (const Datagram& datagram : parsed.addresses) {
        AppendAddresses(datagram.data(), datagram.size(), snapshot.addresses);
    }
    for (const Datagram& datagram : parsed.routes) AppendRoutes(datagram.data(), datagram.size(), snapshot.routes);
    // The generic-netlink replies: the route frames stand for the family
    // controller's answer, the address frames for the link-modes dump,
    // under the family id the controller named or the first frame's type.
    parsed.familyId = ParseFamilyId(parsed.routes);
    if (parsed.familyId == 0 && !parsed.addresses.empty() && parsed.addresses.front().size() >= 6) {
        parsed.familyId = static_cast<std::uint16_t>(parsed.addresses.front()[4] | parsed.addresses.front()[5] << 8);
    }
    parsed.linkModes = ParseLinkModesDump(parsed.addresses, parsed.familyId);
    return parsed;
}

// Fields joined by blanks; a missing optional number shows as "-".
std::string Field(const std::string& text) { return text; }
std::string Field(const char* text) { return text; }
template <class Number>
std::string Field(Number number) { return std::to_string(number); }
template <class Number>
std::string Field(const std::optional<Number>& number) { return number ? Field(*number) : "-"; }
template <class... Fields>
std::string Line(const std::string& first, const Fields&... rest) { return (first + ... + (" " + Field(rest))); }

std::string Text(const LinkRecord& l) {
    return Line("link", l.index, l.name, "hw", l.hardwareType, "flags", l.flags, "mtu", l.mtu, "oper",
                static_cast<int>(l.operState), HexText(l.address), "own", HexText(l.slaveOwnAddress), "kind", l.kind,
                "parent", l.parentDevice);
}
std::string Text(const platform::KernelLink& l) {
    const char* states[] = {"-", "active", "backup"};
    const auto shown = [](const std::string& text) { return text.empty() ? std::string("-") : text; };
    return Line("kernel link", l.name, "kind", shown(l.kind), "master", shown(l.master), shown(l.slaveKind),
                states[static_cast<int>(l.slaveState)], "mode", l.bondMode, "vlan", l.vlanId, l.vlanProtocol, "on",
                shown(l.parent));
}
std::string Text(const AddressRecord& a) {
    return Line("address family", a.family, "#" + Field(a.index) + "/" + Field(a.prefixLength), "flags", a.flags,
                HexText(a.local, ""));
}
std::string Text(const RouteRecord& r) {
    std::string text = Line("route table", r.table, "type", r.type, "/" + Field(r.destinationLength));
    for (const NextHop& hop : r.hops) {
        text += Line("", "via", "#" + Field(hop.interfaceIndex), HexText(hop.gateway, ""));
    }
    return text;
}
std::string Text(const LinkModesRecord& r) { return Line("link modes", r.index, r.speedMbps, r.duplex); }

template <class Record>
void Describe(const std::vector<Record>& records, std::string& out) {
    for (const Record& record : records) out += Text(record) + "\n";
}

// The records the parsers made and what the IP configuration answers and
// the interface codes make of them.
std::string Describe(const Parsed& parsed) {
    const NetworkSnapshot& snapshot = *parsed.snapshot;
    std::string out;
    const auto put = [&out](const auto&... fields) { out += Line(fields...) + "\n"; };
    for (const auto* dump : {&parsed.links, &parsed.addresses, &parsed.routes}) {
        for (const Datagram& datagram : *dump) {
            const DumpProgress progress = InspectDumpDatagram(datagram);
            put("progress finished", progress.finished, "error", progress.error, "interrupted", progress.interrupted);
        }
    }
    Describe(snapshot.links, out);
    Describe(KernelLinksOf(snapshot.links), out);
    Describe(snapshot.addresses, out);
    Describe(snapshot.routes, out);
    put("family", parsed.familyId);
    Describe(parsed.linkModes, out);

    const IpHelperView view(parsed.snapshot);
    const auto adapters = view.Adapters();
    const auto ipv6 = view.Ipv6();
    put("results adapters", adapters.result, "pairs", view.Pairs().result, "table", view.Table().result, "ipv6",
        ipv6.result);
    Describe(adapters.adapters, out);
    Describe(ipv6.entries, out);
    for (const LinkRecord& link : snapshot.links) {
        const DeviceDetails* details = DetailsOf(snapshot, link.index);
        put("#" + Field(link.index), "status", OperStatusOf(link.operState, link.flags), "type",
            InterfaceTypeOf(link.hardwareType, details && details->wireless), Text(view.PerAdapter(link.index)));
    }
    put("#0", Text(view.PerAdapter(0)));
    for (std::uint32_t index = 0; index < 8; ++index) {  // the device map has no order
        if (snapshot.devices.count(index) == 0) continue;
        const auto setting = SpeedDuplexOf(snapshot.devices.at(index));
        put("device #" + Field(index), "speed", setting ? setting->code + " " + setting->text : "-");
    }
    return out;
}

}  // namespace

void NetlinkTarget(const std::uint8_t* data, std::size_t size) {
    const Parsed parsed = Parse(data, size);
    const NetworkSnapshot& snapshot = *parsed.snapshot;
    for (const auto* dump : {&parsed.links, &parsed.addresses, &parsed.routes}) {
        for (const Datagram& datagram : *dump) FUZZ_CHECK(InspectDumpDatagram(datagram).error >= 0);
    }
    for (const LinkRecord& link : snapshot.links) {
        // Texts end at their attribute's NUL or end.
        FUZZ_CHECK(TextEnds(link.name) && TextEnds(link.kind) && TextEnds(link.slaveKind) &&
                   TextEnds(link.parentDevice));
        FUZZ_CHECK(OperStatusOf(link.operState, link.flags) <= 5);
        if (!link.name.empty()) FUZZ_CHECK(!DescriptionOf(link, DetailsOf(snapshot, link.index)).empty());
    }
    FUZZ_CHECK(KernelLinksOf(snapshot.links).size() == snapshot.links.size());
    PresentDevices(snapshot);
    platform::StoreRegistry registry([tree = DeviceRegistry(std::make_shared<const NetworkSnapshot>(snapshot))] { return tree; });
    FUZZ_CHECK(!linkscope::testing::Walked(registry).empty());
    Describe(parsed);  // every conversion the golden shows, under the sanitizers
}

std::string DescribeNetlink(const std::uint8_t* data, std::size_t size) { return Describe(Parse(data, size)); }

}  // namespace linkscope::fuzz
