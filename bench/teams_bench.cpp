// Queries of the six team classes for many team members through the
// stand-in host: the associations' enumerations ask the plug-in again for
// the groups and ports they join. Collection, which BM_CollectTeams
// measures, happens once before the timing.
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/class_queries.h"
#include "bench/large_machine.h"
#include "kvl/core.h"
#include "kvl/hub.h"
#include "platform/sim/machine_file.h"
#include "teams/teams.h"

namespace linkscope::bench {
namespace {

using namespace NQRXKVL20;

// The team records of `memberCount` members, half from each vendor source:
// the NIC management library's teams, then the teaming provider's, all in
// teams of four with one virtual adapter. The library's virtual adapters
// get the device names that enumeration would bind them to.
struct TeamRecords {
    std::unique_ptr<Teams> teams;
    std::unique_ptr<AdaptersInfo> adapters;
};

TeamRecords CollectTeamRecords(std::uint32_t memberCount) {
    const std::uint32_t firstHalf = memberCount / 2;
    const auto machineOf = [](sim::Machine machine) {
        return sim::MakeSimulatedPlatform(std::make_shared<sim::Machine>(std::move(machine)));
    };
    auto previous = platform::Install(machineOf(TeamLibraryMachine(firstHalf, 0)));
    TeamRecords records{std::make_unique<Teams>(), std::make_unique<AdaptersInfo>()};
    records.teams->CollectBroadcomTeams(*records.adapters);
    platform::Install(machineOf(LargeIntelMachine(memberCount - firstHalf)));
    records.teams->CollectIntelTeams(*records.adapters);
    platform::Install(std::move(previous));
    TRootObject::CoreLogger().Clear();
    std::size_t n = 0;
    for (VirtualNetworkAdapter* adapter : records.adapters->GetVirtualAdapters()) {
        if (!adapter->GetDeviceID().empty()) continue;
        adapter->SetDeviceID("\\DEVICE\\TCPIP_{team-" + std::to_string(n++) + "}");
    }
    return records;
}

void BM_Teams(benchmark::State& state) {
    const TeamRecords records = CollectTeamRecords(static_cast<std::uint32_t>(state.range(0)));
    TimeClassQueries(state, provider::CollectedData{nullptr, records.adapters.get(), records.teams.get()}, {
        "QRXSG_SpareGroup",
        "QRXSG_VirtualNetworkingGroup",
        "QRXSG_VirtualNetworkingPortComponent",
        "QRXSG_ActsAsSpare",
        "QRXSG_RedundancyComponent",
        "QRXSG_VirtualNetworkingRedundancyGroupComponent",
    });
}

BENCHMARK(BM_Teams)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkscope::bench
