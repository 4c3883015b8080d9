// The answers built from hand-made snapshots: the network devices as the
// device list and the registry present them, the IP configuration answers
// and the host parameters; and the rules of interface codes that are more
// than a lookup: the carrier deciding an unknown operational state, and
// the speed and duplex setting.
#include <gtest/gtest.h>

#include <cerrno>

#include "linux/snapshot_builders.h"
#include "platform/linux/device_view.h"
#include "platform/linux/host_parameters.h"
#include "platform/linux/interface_codes.h"
#include "platform/linux/ip_helper_view.h"
#include "platform/store_registry.h"
#include "support/platform_text.h"
#include "support/registry_text.h"

namespace linkscope::live {
namespace {

using namespace testing;
using platform::StoreRegistry;
using linkscope::testing::Lines;
using linkscope::testing::Shown;
using linkscope::testing::Subkeys;
using linkscope::testing::Text;
using linkscope::testing::Texts;
using linkscope::testing::Values;

const std::string kInterfaces =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";

TEST(DeviceView, NamesWithBackslashesStayOneKey) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(3, "odd\\name", 0)};
    snapshot.devices[3] = Driver("veth");
    const auto store = BuildDeviceRegistry(snapshot);
    StoreRegistry registry([&] { return store; });
    const std::string interfaceKey = kInterfaces + "\\" + Subkeys(registry, kInterfaces).at(0);

    EXPECT_EQ(Subkeys(registry, interfaceKey), Texts{"#odd\\name"});
    EXPECT_EQ(Shown(registry, interfaceKey + "\\#odd\\name\\Control", "Linked"), "4 <00><00><00><00>");
}

IpHelperView ViewOf(NetworkSnapshot snapshot) {
    return IpHelperView(std::make_shared<const NetworkSnapshot>(std::move(snapshot)));
}

TEST(IpHelperView, AdapterEntriesCarryDescriptionTypeAddressesGatewaysAndDhcp) {
    NetworkSnapshot snapshot;
    LinkRecord infiniband = Link(4, "ib0", kUpWithCarrier, 32);
    infiniband.address.assign(20, 0xAB);
    LinkRecord tunnel = Link(6, "wg0", kUpWithCarrier, kHwNone);
    tunnel.address.clear();
    snapshot.links = {Link(2, "eth0"), Link(3, "wlan0"), infiniband, tunnel};
    snapshot.devices[2] = Driver("e1000e");
    snapshot.devices[3] = Driver("iwlwifi");
    snapshot.devices[3].wireless = true;
    snapshot.devices[3].label = "Onboard WLAN";  // the firmware's label before the driver
    snapshot.addresses = {Ipv4(2, {10, 0, 0, 5}, 24), Ipv6(2, 0xFD, 1), Ipv4(3, {172, 16, 0, 1}, 12, 0),
                          Ipv4(2, {192, 168, 1, 129}, 25), Ipv4(2, {10, 9, 9, 9}, 32), Ipv4(2, {1, 2, 3, 4}, 0),
                          Ipv4(4, {10, 4, 0, 1}, 24, 0)};
    snapshot.routes = {
        DefaultRoute({{2, {10, 0, 0, 1}}}),
        DefaultRoute({{2, {10, 0, 0, 99}}}, 100),                           // another table
        RouteRecord{kTableMain, kRouteUnicast, 16, {{2, {10, 0, 0, 98}}}},  // not a default route
        RouteRecord{kTableMain, 6, 0, {{2, {10, 0, 0, 97}}}},               // prohibit: not unicast
        DefaultRoute({{3, {172, 16, 0, 254}}, {2, {10, 0, 0, 2}}}),         // multipath
        DefaultRoute({{2, {}}}),                                            // no gateway: on-link
    };
    // A lease of a static interface is stale; a dynamic address without
    // a lease still means DHCP.
    snapshot.dhcpServers = {{2, "10.0.0.1"}, {3, "172.16.0.1"}};

    EXPECT_EQ(Lines(ViewOf(snapshot).Adapters().adapters),
              (Texts{"eth0 'e1000e' 02:00:00:00:00:02 #2 type 6 dhcp 0  wins 0 , ip 10.0.0.5/255.255.255.0,"
                     "192.168.1.129/255.255.255.128,10.9.9.9/255.255.255.255,1.2.3.4/0.0.0.0 gw 10.0.0.1,10.0.0.2",
                     "wlan0 'Onboard WLAN' 02:00:00:00:00:03 #3 type 71 dhcp 1 172.16.0.1 wins 0 , "
                     "ip 172.16.0.1/255.240.0.0 gw 172.16.0.254",
                     "ib0 'ib0' AB:AB:AB:AB:AB:AB:AB:AB #4 type 1 dhcp 1  wins 0 , ip 10.4.0.1/255.255.255.0 gw 0.0.0.0",
                     "wg0 'wg0' - #6 type 131 dhcp 0  wins 0 , ip 0.0.0.0/0.0.0.0 gw 0.0.0.0"}))
        << "at most 8 hardware address bytes";
}

TEST(IpHelperView, FailedDumpsAndAnEmptyListGiveResultCodes) {
    NetworkSnapshot noLinks;
    noLinks.linkError = EPERM;
    const IpHelperView failed = ViewOf(noLinks);
    EXPECT_EQ(failed.Adapters().result, platform::kNotSupported);
    EXPECT_EQ(failed.Pairs().result, platform::kNotSupported);
    EXPECT_EQ(failed.Table().result, platform::kNotSupported);
    EXPECT_EQ(failed.Ipv6().result, platform::kNotSupported);

    NetworkSnapshot noRoutes;
    noRoutes.links = {Link(1, "lo")};
    noRoutes.routeError = ENOBUFS;
    const IpHelperView partial = ViewOf(noRoutes);
    EXPECT_EQ(partial.Adapters().result, platform::kNotEnoughMemory) << "an adapter list without gateways is wrong";
    EXPECT_EQ(partial.Pairs().result, platform::kSuccess);
    EXPECT_EQ(partial.Ipv6().result, platform::kSuccess);

    NetworkSnapshot allDown;
    allDown.links = {Link(1, "lo", 0), Link(2, "eth0", 0)};
    const auto none = ViewOf(allDown).Adapters();
    EXPECT_EQ(none.result, platform::kNoData);
    EXPECT_TRUE(none.adapters.empty());
}

TEST(IpHelperView, PerAdapterDnsAndAutoconfigurationAndIpv6Entries) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(2, "managed"), Link(3, "plain"), Link(4, "v6only"), Link(5, "zeroconf", 0)};
    snapshot.addresses = {Ipv4(5, {169, 254, 7, 1}, 16), Ipv4(2, {10, 0, 0, 1}, 8), Ipv6(2, 0x20, 1),
                          Ipv6(2, 0xFE, 2), Ipv6(7, 0xFD, 3)};
    snapshot.resolverDnsServers = {"127.0.0.53", "fd00::53"};
    snapshot.linkDnsServers = {{2, {"10.0.0.53", "fd00::1", "10.0.0.54"}}, {4, {"fd00::2"}}};
    const IpHelperView view = ViewOf(snapshot);

    EXPECT_EQ(Text(view.PerAdapter(2)), "result 0 auto 0/0 dns 10.0.0.53,10.0.0.54");
    EXPECT_EQ(Text(view.PerAdapter(3)), "result 0 auto 0/0 dns 127.0.0.53");
    EXPECT_EQ(Text(view.PerAdapter(4)), "result 0 auto 0/0 dns ") << "the embedded entry stays";
    EXPECT_EQ(Text(view.PerAdapter(5)), "result 0 auto 1/1 dns 127.0.0.53");
    EXPECT_EQ(view.PerAdapter(99).result, platform::kInvalidParameter);

    // Down interfaces too, each with its first IPv6 address.
    EXPECT_EQ(Lines(view.Ipv6().entries), (Texts{"managed 20000000000000000000000000000001", "plain -", "v6only -",
                                                 "zeroconf -"}));
}

TEST(HostParameters, NameDomainAndRouting) {
    struct Case {
        const char* node;
        const char* resolverDomain;
        std::optional<bool> forwarding;
        const char* host;
        const char* domain;
        std::uint32_t routing;
    };
    const Case cases[] = {
        {"db1.corp.example", "other.example", false, "db1", "corp.example", 0},
        {"db1", "lab.example", true, "db1", "lab.example", 1},
        {"db1", "", std::nullopt, "db1", "", 0},
        {"", "", true, "", "", 1},
    };
    for (const Case& c : cases) {
        const platform::FixedInfo info = FixedInfoOf(HostFacts{c.node, c.resolverDomain, c.forwarding});
        EXPECT_EQ(info.hostName, c.host) << c.node;
        EXPECT_EQ(info.domainName, c.domain) << c.node;
        EXPECT_EQ(info.enableRouting, c.routing) << c.node;
        EXPECT_EQ(info.enableProxy, 0u);
    }
}

TEST(InterfaceCodes, UnknownOperationalStateFollowsTheCarrier) {
    EXPECT_EQ(OperStatusOf(OperState::kUnknown, kUpWithCarrier), 5u);
    EXPECT_EQ(OperStatusOf(OperState::kUnknown, kFlagUp), 0u);
    EXPECT_EQ(OperStatusOf(OperState::kLowerLayerDown, kUpWithCarrier), 1u);
    EXPECT_EQ(OperStatusOf(static_cast<OperState>(42), kUpWithCarrier), 0u) << "a state this code does not know";
    EXPECT_EQ(InterfaceTypeOf(kHwEther, true), 71u) << "Ethernet framing on a wireless device";
}

TEST(InterfaceCodes, SpeedAndDuplexBecomeOneSetting) {
    struct Case {
        std::optional<std::uint32_t> speed;
        std::uint8_t duplex;
        const char* code;  // null: no setting
        const char* text;
    };
    const Case cases[] = {
        {1000, kDuplexFull, "10001", "1000Mbps Full"},
        {10, kDuplexHalf, "100", "10Mbps Half"},
        {2500, kDuplexFull, "25001", "2500Mbps Full"},
        {10000, kDuplexFull, "100001", "10Gbps Full"},
        {12500, kDuplexFull, "125001", "12500Mbps Full"},
        {25000, kDuplexUnknown, "250002", "25Gbps"},
        {std::nullopt, kDuplexFull, nullptr, nullptr},
        {300'000'000, kDuplexFull, nullptr, nullptr},  // its code would not fit the reader's integer
    };
    for (const Case& c : cases) {
        const auto setting = SpeedDuplexOf(Driver("x", c.speed, c.duplex));
        if (c.code == nullptr) {
            EXPECT_FALSE(setting.has_value()) << c.speed.value_or(0);
            continue;
        }
        ASSERT_TRUE(setting.has_value()) << *c.speed;
        EXPECT_EQ(setting->code, c.code);
        EXPECT_EQ(setting->text, c.text);
    }
}

}  // namespace
}  // namespace linkscope::live
