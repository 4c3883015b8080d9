// The collectors, unchanged, over the live backend fed with hand-made
// snapshots: what the inventory of a Linux machine holds.
#include <gtest/gtest.h>

#include "collect/adapters_info.h"
#include "kvl/root.h"
#include "linux/snapshot_builders.h"
#include "platform/linux/live_platform.h"
#include "support/record_text.h"

namespace linkscope::live {
namespace {

using namespace testing;

// Installs a live platform over `snapshots` (one per collection, the last
// repeated) for the length of a test.
class ScopedLivePlatform {
public:
    explicit ScopedLivePlatform(std::vector<NetworkSnapshot> snapshots, std::map<std::string, std::string> env = {})
        : snapshots_(std::move(snapshots)) {
        LiveSources sources;
        sources.network = [this] { return snapshots_[std::min(++fetches_, snapshots_.size()) - 1]; };
        sources.host = [] { return HostFacts{}; };
        sources.environment = [env](const std::string& name) -> std::optional<std::string> {
            const auto it = env.find(name);
            return it == env.end() ? std::nullopt : std::optional<std::string>(it->second);
        };
        previous_ = platform::Install(MakeLivePlatform(std::move(sources)));
    }
    ScopedLivePlatform(const ScopedLivePlatform&) = delete;
    ScopedLivePlatform& operator=(const ScopedLivePlatform&) = delete;
    ~ScopedLivePlatform() {
        platform::Install(std::move(previous_));
        NQRXKVL20::TRootObject::CoreLogger().Clear();
    }

    std::size_t Fetches() const { return fetches_; }

private:
    std::vector<NetworkSnapshot> snapshots_;
    std::size_t fetches_ = 0;
    std::unique_ptr<platform::Platform> previous_;
};

NetworkSnapshot SmallMachine() {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(1, "lo", kUpWithCarrier, kHwLoopback), Link(2, "eth0"), Link(3, "br0"),
                      Link(4, "ifb0", 0), Link(5, "sit0", 0, kHwSit), Link(6, "v0")};
    snapshot.devices[1] = Driver("");
    snapshot.devices[2] = Driver("e1000e", 1000, kDuplexFull);
    snapshot.devices[3] = Driver("bridge");
    snapshot.devices[4] = Driver("ifb");
    snapshot.devices[5] = Driver("");
    snapshot.devices[6] = Driver("veth", 10000, kDuplexFull);
    snapshot.addresses = {Ipv4(1, {127, 0, 0, 1}, 8), Ipv4(2, {192, 168, 5, 20}, 24), Ipv6(2, 0xFD, 0x20)};
    snapshot.routes = {DefaultRoute({{2, {192, 168, 5, 1}}})};
    return snapshot;
}

// Name, device name, description, speed and duplex, state and port number.
std::vector<std::string> Summaries(const AdaptersInfo& adapters) {
    std::vector<std::string> lines;
    for (const auto* r : adapters.GetPhysicalAdapters()) {
        lines.push_back(r->GetName() + " " + r->GetDeviceID() + " '" + r->GetDescription() + "' '" + r->GetSpeedDuplex() +
                        "' " + std::to_string(r->GetEnabledState()) + " #" + std::to_string(r->GetPortNumber()));
    }
    return lines;
}

TEST(LivePlatform, CollectorsReportUpInterfacesThenDisabledDevices) {
    ScopedLivePlatform installed({SmallMachine()});
    AdaptersInfo adapters;
    adapters.Collect();

    EXPECT_EQ(Summaries(adapters), (std::vector<std::string>{
                                       "lo lo 'lo' '' 2 #1",
                                       "eth0 eth0 'e1000e' '1000Mbps Full' 2 #2",
                                       "br0 br0 'bridge' 'Unknown' 2 #3",
                                       "v0 v0 'veth' '10Gbps Full' 2 #6",
                                       "ifb0 \\DEVICE\\TCPIP_ifb0 'ifb' 'Unknown' 3 #0",
                                   }));
    EXPECT_EQ(linkscope::testing::RecordText(*adapters.GetPhysicalAdapters().at(1)),
              "eth0 eth0 'e1000e' mac 020000000002 02:00:00:00:00:02 #2 state 2 link 2 mtu 1500 '1000Mbps Full' driver 1 | "
              "dhcp 0  wins 0 , auto 0/0 | ipv4 192.168.5.20/24 ipv6 FD00:00:00:00:00:00:00:020 gw 192.168.5.1 dns  "
              "hw 02:00:00:00:00:02");
    EXPECT_EQ(adapters.GetPhysicalAdapters().at(0)->GetLinkTechnology(), 1) << "loopback";
}

TEST(LivePlatform, EveryCollectionTakesAFreshSnapshot) {
    NetworkSnapshot later = SmallMachine();
    later.links[1].flags = 0;  // eth0 taken down
    ScopedLivePlatform installed({SmallMachine(), later});

    AdaptersInfo first;
    first.Collect();
    EXPECT_EQ(installed.Fetches(), 1u) << "one snapshot serves the whole collection";
    AdaptersInfo second;
    second.Collect();
    EXPECT_EQ(installed.Fetches(), 2u);

    ASSERT_EQ(Summaries(second).size(), 5u);
    EXPECT_EQ(Summaries(second)[3], "eth0 \\DEVICE\\TCPIP_eth0 'e1000e' '1000Mbps Full' 3 #0")
        << "a disabled adapter keeps its driver's setting";
}

TEST(LivePlatform, NoUpInterfaceStillAddsDisabledDevices) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(1, "lo", 0, kHwLoopback), Link(2, "ifb0", 0)};
    snapshot.devices[2] = Driver("ifb");
    ScopedLivePlatform installed({snapshot});

    AdaptersInfo adapters;
    adapters.Collect();

    EXPECT_EQ(Summaries(adapters), std::vector<std::string>{"ifb0 \\DEVICE\\TCPIP_ifb0 'ifb' 'Unknown' 3 #0"});
}

TEST(LivePlatform, EnvironmentAnswersLikeTheSystemCall) {
    ScopedLivePlatform installed({SmallMachine()}, {{"KVL_EXCLUDEIP", "1"}, {"EMPTY", ""}});
    platform::EnvironmentApi& environment = platform::Current().Environment();
    EXPECT_EQ(environment.GetVariable("KVL_EXCLUDEIP", 32767), 1u);
    EXPECT_EQ(environment.GetVariable("KVL_EXCLUDEIP", 1), 2u) << "too small: the size needed";
    EXPECT_EQ(environment.GetVariable("EMPTY", 32767), 0u);
    EXPECT_EQ(environment.GetVariable("ABSENT", 32767), 0u);
}

}  // namespace
}  // namespace linkscope::live
