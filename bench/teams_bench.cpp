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
#include "kvl/core.h"
#include "kvl/hub.h"
#include "kvl/plugin.h"
#include "platform/sim/machine_file.h"
#include "provider/linkscope.h"
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

// Answers the host's queries from the records, as the plug-in object does.
class RecordsPlugin : public IPluginCallbacks, public IPluginBasicQueryCallbacks {
public:
    explicit RecordsPlugin(const TeamRecords& records)
        : data_{nullptr, records.adapters.get(), records.teams.get()} {}
    int GetReserved() override { return 0; }
    std::string GetName() override { return "bench"; }
    std::string GetVersion() override { return "1.0"; }
    std::string GetInterfaceVersion() override { return "1.0"; }
    void Destroy() override {}
    void Collect() override {}
    void Cleanup() override {}
    void QueryInstances(boost::shared_ptr<ICIMNamespace> ns,
                        const std::vector<boost::shared_ptr<ICIMClass>>& classes) override {
        provider::QueryInstances(ns, classes, data_);
    }

private:
    provider::CollectedData data_;
};

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
    RecordsPlugin plugin(records);
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
