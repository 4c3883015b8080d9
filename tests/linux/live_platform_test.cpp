// The collectors, unchanged, over the live backend fed with hand-made
// snapshots. What the inventory of a real machine holds is compared with
// iproute2 by the namespace inventory test.
#include <gtest/gtest.h>

#include "collect/adapters_info.h"
#include "kvl/root.h"
#include "linux/netlink_bytes.h"
#include "linux/snapshot_builders.h"
#include "platform/linux/netlink_parse.h"
#include "platform/linux/live_platform.h"
#include "teams/teams.h"

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

// Loopback and one Ethernet interface with its driver's speed setting.
NetworkSnapshot SmallMachine() {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(1, "lo", kUpWithCarrier, kHwLoopback), Link(2, "eth0")};
    snapshot.devices[2] = Driver("e1000e", 1000, kDuplexFull);
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
    platform::Current().CollectionFinished();
    platform::Current().DeviceSetup().GetPresentDevices();
    EXPECT_EQ(installed.Fetches(), 3u) << "a finished collection's snapshot is let go";

    EXPECT_EQ(Summaries(second), (std::vector<std::string>{"lo lo 'lo' '' 2 #1",
                                                           "eth0 \\DEVICE\\TCPIP_eth0 'e1000e' '1000Mbps Full' 3 #0"}))
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

TEST(LivePlatform, InterfacesSharingAHardwareAddressKeepARecordEach) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(2, "v0"), Link(3, "v1"), Link(4, "br0")};
    snapshot.links[1].address = snapshot.links[2].address = snapshot.links[0].address;
    snapshot.addresses = {Ipv4(3, {10, 9, 0, 2}, 24), Ipv4(4, {10, 9, 0, 1}, 24)};
    ScopedLivePlatform installed({snapshot});

    AdaptersInfo adapters;
    adapters.Collect();

    std::vector<std::string> lines;
    for (const auto* r : adapters.GetPhysicalAdapters()) {
        const std::string port = " #" + std::to_string(r->GetPortNumber()) + " ";
        lines.push_back(r->GetDeviceID() + port + r->GetIPv4AddressList().at(0));
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"v0 #2 0.0.0.0/0", "v1 #3 10.9.0.2/24", "br0 #4 10.9.0.1/24"}));
}

// The kernel's links, read from a hand-built link dump, through team
// collection and enumeration as a collection runs them. The slaves carry
// the bond's address; each reports its own.
TEST(LivePlatform, BondSlavesAndVlansOfALinkDumpBecomeTeamRecordsBoundByName) {
    NetworkSnapshot snapshot;
    snapshot.links = ParseLinkDump(BondScenarioDump());
    snapshot.addresses = {Ipv4(4, {10, 20, 0, 5}, 24), Ipv4(5, {10, 20, 10, 5}, 24), Ipv4(7, {10, 30, 20, 5}, 24),
                          Ipv4(8, {10, 40, 0, 1}, 24)};
    ScopedLivePlatform installed({snapshot});

    Teams teams;
    AdaptersInfo adapters;
    teams.Collect(adapters);
    adapters.Collect();
    EXPECT_EQ(installed.Fetches(), 1u) << "team records and adapters come from one snapshot";

    std::vector<std::string> found;
    for (const TeamInfo* team : teams.GetTeams()) {
        found.push_back(team->GetTeamName() + " " + std::to_string(team->GetTeamID()) + " type " +
                        std::to_string(team->GetTeamType()));
    }
    for (const auto* r : adapters.GetPhysicalAdapters()) {
        std::string line = "port " + r->GetDeviceID() + " #" + std::to_string(r->GetPortNumber()) + " " +
                           r->GetPermanentAddress();
        if (r->GetInTeam()) {
            line += " member " + std::to_string(r->GetMemberType()) + " of " + std::to_string(r->GetMemberTeamID()) +
                    " " + r->GetTeamName();
        }
        found.push_back(line + " " + r->GetIPv4AddressList().at(0));
    }
    for (const auto* r : adapters.GetVirtualAdapters()) {
        found.push_back("virtual " + r->GetDeviceID() + " #" + std::to_string(r->GetPortNumber()) + " team " +
                        std::to_string(r->GetTeamID()) + " vlan " + std::to_string(r->GetVlanID()) + " '" +
                        r->GetVlanName() + "' " + r->GetIPv4AddressList().at(0));
    }
    EXPECT_EQ(found, (std::vector<std::string>{
                         "bond0 1000001 type 1002",
                         "port eth0 #2 52:54:00:0A:00:01 member 1 of 1000001 bond0 0.0.0.0/0",
                         "port eth1 #3 52:54:00:0A:00:02 member 2 of 1000001 bond0 0.0.0.0/0",
                         "port eth2 #6 52:54:00:0A:00:03 0.0.0.0/0",
                         "port br0 #8 52:54:00:0A:00:04 10.40.0.1/24",
                         "port v0 #9 52:54:00:0A:00:04 0.0.0.0/0",
                         "virtual bond0 #4 team 1000001 vlan 0 '' 10.20.0.5/24",
                         "virtual bond0.10 #5 team 1000001 vlan 10 'bond0.10' 10.20.10.5/24",
                         "virtual eth2.20 #7 team 0 vlan 20 'eth2.20' 10.30.20.5/24",
                     }));
}

TEST(LivePlatform, EnvironmentAnswersLikeTheSystemCall) {
    ScopedLivePlatform installed({SmallMachine()}, {{"KVL_EXCLUDEIP", "1"}, {"EMPTY", ""}});
    platform::EnvironmentApi& environment = platform::Current().Environment();
    EXPECT_EQ(environment.GetVariable("KVL_EXCLUDEIP", 32767), 1u);
    EXPECT_EQ(environment.GetVariable("KVL_EXCLUDEIP", 1), 2u) << "too small: the size needed";
    EXPECT_EQ(environment.GetVariable("EMPTY", 32767), 0u);
    EXPECT_EQ(environment.GetVariable("ABSENT", 32767), 0u);
}

// Vendor NIC libraries and the teaming provider are Windows software: team
// collection finds neither and says so once each, as Windows does where
// they are not installed.
TEST(LivePlatform, TeamCollectionFindsNoVendorSoftware) {
    ScopedLivePlatform installed({SmallMachine()});
    NQRXKVL20::TRootObject::CoreLogger().Clear();
    Teams teams;
    AdaptersInfo adapters;
    teams.Collect(adapters);
    std::vector<std::string> logged;
    for (const auto& entry : NQRXKVL20::TRootObject::CoreLogger().Entries()) logged.push_back(entry.text);
    EXPECT_EQ(logged, (std::vector<std::string>{"Unable to load BMAPI.dll getlasterror: 126",
                                                "wmitools: ConnectServer failed: (0x8004100e), Invalid namespace "}));
    EXPECT_TRUE(teams.GetTeams().empty());
    EXPECT_TRUE(adapters.GetPhysicalAdapters().empty());
    platform::RegKey key = 0;
    EXPECT_EQ(platform::Current().Registry().CreateKey("SOFTWARE\\X", platform::kKeyAllAccess, &key),
              platform::kAccessDenied);
}

}  // namespace
}  // namespace linkscope::live
