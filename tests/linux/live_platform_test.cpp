// The collectors, unchanged, over the live backend fed with hand-made
// snapshots; the registry the device view presents of a few devices; the
// host parameters. What the inventory of a real machine holds is compared
// with iproute2 by the namespace inventory test, what the views make of
// kernel answers with the goldens of the netlink fuzz inputs.
#include <gtest/gtest.h>

#include "collect/adapters_info.h"
#include "kvl/root.h"
#include "platform/linux/device_view.h"
#include "platform/linux/ethtool_query.h"
#include "platform/linux/host_parameters.h"
#include "platform/linux/live_platform.h"
#include "platform/store_registry.h"
#include "support/record_text.h"
#include "support/registry_text.h"
#include "teams/teams.h"

namespace linkscope::live {
namespace {

using linkscope::testing::RecordTexts;
using linkscope::testing::Shown;
using linkscope::testing::Subkeys;

constexpr std::uint32_t kUpWithCarrier = kFlagUp | kFlagLowerUp;

LinkRecord Link(std::uint32_t index, const std::string& name, std::uint32_t flags = kUpWithCarrier,
                std::uint16_t hardwareType = kHwEther) {
    LinkRecord link;
    link.index = index;
    link.name = name;
    link.hardwareType = hardwareType;
    link.flags = flags;
    link.mtu = 1500;
    link.operState = (flags & kFlagUp) ? OperState::kUp : OperState::kDown;
    link.address = {0x02, 0x00, 0x00, 0x00, 0x00, static_cast<std::uint8_t>(index)};
    return link;
}

// Installs a live platform over `snapshots` (one per collection, the last
// repeated) for the length of a test.
class ScopedLivePlatform {
public:
    explicit ScopedLivePlatform(std::vector<NetworkSnapshot> snapshots, std::map<std::string, std::string> env = {})
        : snapshots_(std::move(snapshots)) {
        LiveSources sources;
        sources.network = [this] { return snapshots_[std::min(++fetches_, snapshots_.size()) - 1]; };
        sources.host = [] { return HostFacts{}; };
        sources.environment = [env](const std::string& name) {
            return env.count(name) ? std::optional<std::string>(env.at(name)) : std::nullopt;
        };
        previous_ = platform::Install(MakeLivePlatform(std::move(sources)));
    }
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
    snapshot.devices[2] = DeviceDetails{"e1000e", "", false, 1000, kDuplexFull};
    return snapshot;
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

    EXPECT_EQ(RecordTexts(second),
              (std::vector<std::string>{"lo lo 'lo' mac 020000000001 02:00:00:00:00:01 #1 state 2 link 1 mtu 1500 '' "
                                        "driver 1 | dhcp 0  wins 0 , auto 0/0 | ipv4 0.0.0.0/0 ipv6  gw 0.0.0.0 dns  "
                                        "hw 02:00:00:00:00:01",
                                        "eth0 \\DEVICE\\TCPIP_eth0 'e1000e' mac   #0 state 3 link 0 mtu 0 '1000Mbps "
                                        "Full' driver 0 | dhcp 0  wins 0 , auto 0/0 | ipv4  ipv6  gw  dns  hw "}))
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
    Teams teams;
    AdaptersInfo adapters;
    teams.Collect(adapters);
    std::vector<std::string> logged;
    for (const auto& entry : NQRXKVL20::TRootObject::CoreLogger().Entries()) logged.push_back(entry.text);
    EXPECT_EQ(logged, (std::vector<std::string>{"Unable to load BMAPI.dll getlasterror: 126",
                                                "wmitools: ConnectServer failed: (0x8004100e), Invalid namespace "}));
    EXPECT_TRUE(teams.GetTeams().empty());
}

// The whole registry of a few devices, walked by enumeration: a device
// with a speed setting and a firmware label, one known only by its bus
// device, a name holding a backslash and one interface that is no device.
// Every path a walk prints opens; near misses do not.
TEST(DeviceView, RegistryOfSnapshotDevices) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(7, "odd\\name", 0), Link(2, "eth0"), Link(4, "lo"), Link(5, "bus0")};
    snapshot.links[3].parentDevice = "0000:00:05.0";
    snapshot.devices[2] = {"e1000e", "Onboard LAN", false, 1000, kDuplexFull};
    snapshot.devices[4] = {};
    snapshot.devices[7].driver = "veth";
    const auto tree = DeviceRegistry(std::make_shared<const NetworkSnapshot>(snapshot));
    platform::StoreRegistry registry([&] { return tree; });

    const std::string classes = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
    const std::string interfaces =
        "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";
    // The walk with the two class folders and the interface class written
    // short, as <net> and <if>.
    std::string walked = linkscope::testing::Walked(registry);
    for (const auto& [text, shortText] : {std::pair{classes, "<net>"}, {interfaces, "<if>"},
                                          {"{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}", "<if>"}}) {
        for (std::size_t at; (at = walked.find(text)) != std::string::npos;) walked.replace(at, text.size(), shortText);
    }
    EXPECT_EQ(walked, R"(
SYSTEM
SYSTEM\CurrentControlSet
SYSTEM\CurrentControlSet\Control
SYSTEM\CurrentControlSet\Control\Class
<net>
<net>\0000
  NetCfgInstanceId 1 eth0<00>
  DriverDesc 1 Onboard LAN<00>
  SpeedDuplex 1 10001<00>
<net>\0000\Ndi
<net>\0000\Ndi\Params
<net>\0000\Ndi\Params\SpeedDuplex
<net>\0000\Ndi\Params\SpeedDuplex\enum
  10001 1 1000Mbps Full<00>
<net>\0001
  NetCfgInstanceId 1 bus0<00>
  DriverDesc 1 bus0<00>
<net>\0002
  NetCfgInstanceId 1 odd\name<00>
  DriverDesc 1 veth<00>
SYSTEM\CurrentControlSet\Control\DeviceClasses
<if>
<if>\##?#LINUX#NET#0000#<if>
<if>\##?#LINUX#NET#0000#<if>\#eth0
<if>\##?#LINUX#NET#0000#<if>\#eth0\Control
  Linked 4 <01><00><00><00>
<if>\##?#LINUX#NET#0001#<if>
<if>\##?#LINUX#NET#0001#<if>\#bus0
<if>\##?#LINUX#NET#0001#<if>\#bus0\Control
  Linked 4 <01><00><00><00>
<if>\##?#LINUX#NET#0002#<if>
<if>\##?#LINUX#NET#0002#<if>\#odd\name
<if>\##?#LINUX#NET#0002#<if>\#odd\name\Control
  Linked 4 <00><00><00><00>
)");

    for (const std::string& missing :
         {classes + "\\", classes + "\\00000", classes + "\\0003", classes + "\\000x", classes + "\\0001\\Ndi",
          classes + "\\0000\\Ndi\\Params\\SpeedDuplex\\enum\\x", interfaces + "\\##?#LINUX#NET#0000#{x}",
          interfaces + "\\##?#LINUX#NET#0002#{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}\\#odd",
          interfaces + "\\##?#LINUX#NET#0000#{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}\\#eth0\\Control\\x",
          classes + interfaces + "\\##?#LINUX#NET#0000#{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}",
          std::string("system")}) {
        EXPECT_EQ(Subkeys(registry, missing), std::vector<std::string>{}) << missing;
        EXPECT_EQ(Shown(registry, missing, "Linked"), "-") << missing;
    }
}

// The loopback interface's driver does not name itself, nor does anything
// answer for a name that is not there or too long for the kernel: each
// still has its answer, in order, and a restart forgets what came before.
TEST(DriverNames, OneAnswerPerInterfaceQueuedSinceTheLastRestart) {
    const std::vector<LinkRecord> before = {Link(1, "lo"), Link(2, "absent0")};
    const std::vector<LinkRecord> after = {Link(1, "lo"), Link(3, "absent1"), Link(4, std::string(16, 'x'))};
    DriverNames drivers;
    drivers.Add(before, 0);
    drivers.Restart();
    drivers.Add(after, 0);
    drivers.Add(after, 2);
    EXPECT_EQ(drivers.Take(), std::vector<std::string>(4));
}

TEST(HostParameters, NameDomainAndRouting) {
    const struct {
        HostFacts facts;
        const char* expected;  // host name, domain, routing and proxy flags
    } cases[] = {
        {{"db1.corp.example", "other.example", false}, "db1 corp.example 0 0"},
        {{"db1", "lab.example", true}, "db1 lab.example 1 0"},
        {{"db1", "", std::nullopt}, "db1  0 0"},
        {{"", "", true}, "  1 0"},
    };
    for (const auto& c : cases) {
        const platform::FixedInfo info = FixedInfoOf(c.facts);
        EXPECT_EQ(info.hostName + " " + info.domainName + " " + std::to_string(info.enableRouting) + " " +
                      std::to_string(info.enableProxy),
                  c.expected);
    }
}

}  // namespace
}  // namespace linkscope::live
