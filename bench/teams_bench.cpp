// Queries of the six team classes for many team members through the
// stand-in host: the associations' enumerations ask the plug-in again for
// the groups and ports they join. Collection, which BM_CollectTeams
// measures, happens once before the timing.
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <boost/pointer_cast.hpp>

#include "bench/large_machine.h"
#include "bench/records_plugin.h"
#include "kvl/core.h"
#include "kvl/hub.h"
#include "platform/sim/machine_file.h"
#include "teams/teams.h"

namespace linkscope::bench {
namespace {

using namespace NQRXKVL20;

const char* const kTeamClasses[] = {
    "QRXSG_SpareGroup",
    "QRXSG_VirtualNetworkingGroup",
    "QRXSG_VirtualNetworkingPortComponent",
    "QRXSG_ActsAsSpare",
    "QRXSG_RedundancyComponent",
    "QRXSG_VirtualNetworkingRedundancyGroupComponent",
};

// The team records of `memberCount` members, half of them from each of two
// team sources. The NIC management library refuses a team array over 64
// MiB (about 2,200 teams), so one library cannot hold 10,000 members in
// teams of four; the second half is a second library pass, which gives
// the records a teaming provider's pass would (same fields, other
// numbers). The virtual adapters get the device names that enumeration
// would bind them to.
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
    platform::Install(machineOf(TeamLibraryMachine(memberCount - firstHalf, firstHalf)));
    records.teams->CollectBroadcomTeams(*records.adapters);
    platform::Install(std::move(previous));
    TRootObject::CoreLogger().Clear();
    std::size_t n = 0;
    for (VirtualNetworkAdapter* adapter : records.adapters->GetVirtualAdapters()) {
        adapter->SetDeviceID("\\DEVICE\\TCPIP_{team-" + std::to_string(n++) + "}");
    }
    return records;
}

// One query of each class, each in its own call, as a host asks. Kept out
// of line so that an instruction count can be confined to it
// (valgrind --tool=callgrind --toggle-collect='*QueryTeamClasses*').
[[gnu::noinline]] void QueryTeamClasses(RecordsPlugin& plugin, const boost::shared_ptr<TPluginManagerNamespace>& manager,
                                        const std::vector<boost::shared_ptr<ICIMClass>>& classes) {
    for (const auto& cls : classes) plugin.QueryInstances(manager, {cls});
}

void BM_Teams(benchmark::State& state) {
    const TeamRecords records = CollectTeamRecords(static_cast<std::uint32_t>(state.range(0)));
    const auto manager = boost::dynamic_pointer_cast<TPluginManagerNamespace>(TRootObject::GetPluginManager());
    manager->UnregisterAll();  // plug-in objects of earlier benchmarks are gone
    RecordsPlugin plugin(provider::CollectedData{nullptr, records.adapters.get(), records.teams.get()});
    manager->RegisterPlugin(&plugin);

    TCIMPropertyMap context;
    context[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);
    std::vector<boost::shared_ptr<ICIMClass>> classes;
    for (const char* name : kTeamClasses) classes.push_back(manager->GetClass(name, context));

    std::size_t committed = 0;
    for (auto _ : state) {
        QueryTeamClasses(plugin, manager, classes);
        state.PauseTiming();
        committed = manager->Committed().size();
        manager->ClearCommitted();
        state.ResumeTiming();
    }
    state.counters["instances"] = static_cast<double>(committed);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    manager->UnregisterAll();
}

BENCHMARK(BM_Teams)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkscope::bench
