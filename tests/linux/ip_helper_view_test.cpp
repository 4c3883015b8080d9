// The IP configuration answers of hand-made network snapshots.
#include <gtest/gtest.h>

#include <cerrno>

#include "linux/snapshot_builders.h"
#include "platform/linux/ip_helper_view.h"

namespace linkscope::live {
namespace {

using namespace testing;

IpHelperView ViewOf(NetworkSnapshot snapshot) {
    return IpHelperView(std::make_shared<const NetworkSnapshot>(std::move(snapshot)));
}

std::vector<std::string> Texts(const std::vector<platform::IpAddressString>& entries, bool masks = false) {
    std::vector<std::string> texts;
    for (const auto& entry : entries) texts.push_back(masks ? entry.address + " " + entry.mask : entry.address);
    return texts;
}

TEST(IpHelperView, AdaptersAreTheUpInterfacesInIndexOrder) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(5, "c"), Link(1, "lo", kUpWithCarrier, kHwLoopback), Link(3, "off", 0), Link(2, "b")};
    const IpHelperView view = ViewOf(snapshot);

    const auto adapters = view.Adapters();
    ASSERT_EQ(adapters.result, platform::kSuccess);
    std::vector<std::string> names;
    for (const auto& adapter : adapters.adapters) names.push_back(adapter.adapterName + "#" + std::to_string(adapter.index));
    EXPECT_EQ(names, (std::vector<std::string>{"lo#1", "b#2", "c#5"}));

    const auto pairs = view.Pairs();
    ASSERT_EQ(pairs.pairs.size(), 3u);
    EXPECT_EQ(pairs.pairs[2].index, 5u);
    EXPECT_EQ(pairs.pairs[2].name, "c");

    const auto table = view.Table();
    std::vector<std::uint32_t> indexes;
    for (const auto& row : table.rows) indexes.push_back(row.index);
    EXPECT_EQ(indexes, (std::vector<std::uint32_t>{1, 2, 3, 5})) << "the table lists down interfaces too";
    EXPECT_EQ(table.rows[2].operStatus, 2u);
    EXPECT_EQ(table.rows[2].mtu, 1500u);
}

TEST(IpHelperView, AdapterEntryCarriesDescriptionTypeAndHardwareAddress) {
    NetworkSnapshot snapshot;
    LinkRecord infiniband = Link(4, "ib0", kUpWithCarrier, 32);
    infiniband.address.assign(20, 0xAB);
    LinkRecord tunnel = Link(6, "wg0", kUpWithCarrier, kHwNone);
    tunnel.address.clear();
    snapshot.links = {Link(2, "eth0"), Link(3, "wlan0"), infiniband, tunnel};
    snapshot.devices[2] = Driver("e1000e");
    snapshot.devices[3] = Driver("iwlwifi");
    snapshot.devices[3].wireless = true;
    snapshot.devices[3].label = "Onboard WLAN";

    const auto adapters = ViewOf(snapshot).Adapters().adapters;

    ASSERT_EQ(adapters.size(), 4u);
    EXPECT_EQ(adapters[0].description, "e1000e");
    EXPECT_EQ(adapters[0].type, 6u);
    EXPECT_EQ(adapters[0].hardwareAddress, (std::vector<std::uint8_t>{2, 0, 0, 0, 0, 2}));
    EXPECT_EQ(adapters[1].type, 71u);
    EXPECT_EQ(adapters[1].description, "Onboard WLAN") << "the firmware's label before the driver";
    EXPECT_EQ(adapters[2].description, "ib0");
    EXPECT_EQ(adapters[2].hardwareAddress, std::vector<std::uint8_t>(8, 0xAB)) << "at most 8 bytes";
    EXPECT_EQ(adapters[3].type, 131u);
    EXPECT_TRUE(adapters[3].hardwareAddress.empty());
}

TEST(IpHelperView, AddressesInKernelOrderAndMainTableDefaultGateways) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(2, "eth0"), Link(3, "eth1"), Link(4, "bare")};
    snapshot.addresses = {Ipv4(2, {10, 0, 0, 5}, 24), Ipv6(2, 0xFD, 1), Ipv4(3, {172, 16, 0, 1}, 12),
                          Ipv4(2, {192, 168, 1, 129}, 25), Ipv4(2, {10, 9, 9, 9}, 32), Ipv4(2, {1, 2, 3, 4}, 0)};
    snapshot.routes = {
        DefaultRoute({{2, {10, 0, 0, 1}}}),
        DefaultRoute({{2, {10, 0, 0, 99}}}, 100),                 // another table
        RouteRecord{kTableMain, kRouteUnicast, 16, {{2, {10, 0, 0, 98}}}},  // not a default route
        RouteRecord{kTableMain, 6, 0, {{2, {10, 0, 0, 97}}}},     // prohibit: not a unicast route
        DefaultRoute({{3, {172, 16, 0, 254}}, {2, {10, 0, 0, 2}}}),  // multipath
        DefaultRoute({{2, {}}}),                                   // no gateway: on-link
    };

    const auto adapters = ViewOf(snapshot).Adapters().adapters;

    ASSERT_EQ(adapters.size(), 3u);
    EXPECT_EQ(Texts(adapters[0].ipAddresses, true),
              (std::vector<std::string>{"10.0.0.5 255.255.255.0", "192.168.1.129 255.255.255.128",
                                        "10.9.9.9 255.255.255.255", "1.2.3.4 0.0.0.0"}));
    EXPECT_EQ(Texts(adapters[0].gateways), (std::vector<std::string>{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(Texts(adapters[1].ipAddresses, true), (std::vector<std::string>{"172.16.0.1 255.240.0.0"}));
    EXPECT_EQ(Texts(adapters[1].gateways), (std::vector<std::string>{"172.16.0.254"}));
    EXPECT_EQ(Texts(adapters[2].ipAddresses, true), (std::vector<std::string>{"0.0.0.0 0.0.0.0"}));
    EXPECT_EQ(Texts(adapters[2].gateways), (std::vector<std::string>{"0.0.0.0"}));
}

TEST(IpHelperView, DhcpWhereAnAddressIsDynamic) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(2, "leased"), Link(3, "static"), Link(4, "nolease")};
    snapshot.addresses = {Ipv4(2, {10, 0, 0, 5}, 24, 0), Ipv4(3, {10, 0, 1, 5}, 24), Ipv4(4, {10, 0, 2, 5}, 24, 0)};
    snapshot.dhcpServers = {{2, "10.0.0.1"}, {3, "10.0.1.1"}};

    const auto adapters = ViewOf(snapshot).Adapters().adapters;

    EXPECT_EQ(adapters[0].dhcpEnabled, 1u);
    EXPECT_EQ(adapters[0].dhcpServer, "10.0.0.1");
    EXPECT_EQ(adapters[1].dhcpEnabled, 0u);
    EXPECT_EQ(adapters[1].dhcpServer, "") << "a lease of a static interface is stale";
    EXPECT_EQ(adapters[2].dhcpEnabled, 1u);
    EXPECT_EQ(adapters[2].dhcpServer, "");
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

TEST(IpHelperView, PerAdapterDnsAndAutoconfiguration) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(2, "managed"), Link(3, "plain"), Link(4, "v6only"), Link(5, "zeroconf")};
    snapshot.addresses = {Ipv4(5, {169, 254, 7, 1}, 16)};
    snapshot.resolverDnsServers = {"127.0.0.53", "fd00::53"};
    snapshot.linkDnsServers = {{2, {"10.0.0.53", "fd00::1", "10.0.0.54"}}, {4, {"fd00::2"}}};
    const IpHelperView view = ViewOf(snapshot);

    EXPECT_EQ(view.PerAdapter(2).dnsServers, (std::vector<std::string>{"10.0.0.53", "10.0.0.54"}));
    EXPECT_EQ(view.PerAdapter(3).dnsServers, (std::vector<std::string>{"127.0.0.53"}));
    EXPECT_EQ(view.PerAdapter(4).dnsServers, (std::vector<std::string>{""})) << "the embedded entry stays";
    EXPECT_EQ(view.PerAdapter(2).autoconfigActive, 0u);
    EXPECT_EQ(view.PerAdapter(5).autoconfigEnabled, 1u);
    EXPECT_EQ(view.PerAdapter(5).autoconfigActive, 1u);
    EXPECT_EQ(view.PerAdapter(99).result, platform::kInvalidParameter);
}

TEST(IpHelperView, Ipv6EntryPerInterfaceWithItsFirstAddress) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(3, "b", 0), Link(2, "a")};
    snapshot.addresses = {Ipv4(2, {10, 0, 0, 1}, 8), Ipv6(2, 0x20, 1), Ipv6(2, 0xFE, 2), Ipv6(7, 0xFD, 3)};

    const auto answer = ViewOf(snapshot).Ipv6();

    ASSERT_EQ(answer.result, platform::kSuccess);
    ASSERT_EQ(answer.entries.size(), 2u);
    EXPECT_EQ(answer.entries[0].adapterName, "a");
    ASSERT_TRUE(answer.entries[0].hasUnicast);
    EXPECT_EQ(answer.entries[0].firstUnicast[0], 0x20);
    EXPECT_EQ(answer.entries[0].firstUnicast[15], 1);
    EXPECT_EQ(answer.entries[1].adapterName, "b");
    EXPECT_FALSE(answer.entries[1].hasUnicast);
}

}  // namespace
}  // namespace linkscope::live
