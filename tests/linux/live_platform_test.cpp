// The collectors, unchanged, over the live backend fed with hand-made
// snapshots. What the inventory of a real machine holds is compared with
// iproute2 by the namespace inventory test.
#include <gtest/gtest.h>

#include "collect/adapters_info.h"
#include "kvl/root.h"
#include "linux/snapshot_builders.h"
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
