// Collection of large simulated machines, each run starting with cold caches.
#include <memory>

#include <benchmark/benchmark.h>
#include <boost/pointer_cast.hpp>

#include "bench/cold_caches.h"
#include "bench/large_machine.h"
#include "frame/link_scope_callbacks.h"
#include "kvl/hub.h"
#include "platform/sim/machine_file.h"

namespace linkscope::bench {
namespace {

// Collects `machine` once per iteration, each starting with cold caches
// and an empty log.
void CollectRepeatedly(benchmark::State& state, const sim::Machine& built) {
    auto machine = std::make_shared<sim::Machine>(built);
    auto previous = platform::Install(sim::MakeSimulatedPlatform(machine));
    auto* plugin = new TLinkScopeCallbacks();
    for (auto _ : state) {
        plugin->Collect();
        benchmark::DoNotOptimize(plugin->GetAdaptersInfo());
        state.PauseTiming();
        plugin->Cleanup();
        NQRXKVL20::TRootObject::CoreLogger().Clear();
        EvictCaches();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    plugin->Destroy();
    // The manager must not keep the destroyed object for later benchmarks.
    boost::dynamic_pointer_cast<NQRXKVL20::TPluginManagerNamespace>(NQRXKVL20::TRootObject::GetPluginManager())
        ->UnregisterAll();
    platform::Install(std::move(previous));
}

void BM_Collect(benchmark::State& state) {
    CollectRepeatedly(state, LargeMachine(static_cast<std::uint32_t>(state.range(0))));
}

// The same machine's adapters as Broadcom adapters, teams and all.
void BM_CollectTeams(benchmark::State& state) {
    CollectRepeatedly(state, LargeTeamMachine(static_cast<std::uint32_t>(state.range(0))));
}

// Teams of the teaming provider, the argument counting their members.
void BM_CollectIntel(benchmark::State& state) {
    CollectRepeatedly(state, LargeIntelMachine(static_cast<std::uint32_t>(state.range(0))));
}

// One adapter listed again and again: as linear as distinct adapters.
void BM_CollectIdentical(benchmark::State& state) {
    CollectRepeatedly(state, IdenticalAdaptersMachine(static_cast<std::uint32_t>(state.range(0))));
}

// Adapters listed again and again, bound in turn, reading one long driver
// enumeration, and unlisted with as many devices of one instance id.
void BM_CollectRepeated(benchmark::State& state) {
    CollectRepeatedly(state, RepeatedAdaptersMachine(static_cast<std::uint32_t>(state.range(0))));
}

// Adapters sharing one hardware address with as many team records.
void BM_CollectSharedAddress(benchmark::State& state) {
    CollectRepeatedly(state, SharedAddressMachine(static_cast<std::uint32_t>(state.range(0))));
}

// As many team records, on that address, whose text contains every description.
void BM_CollectNestedDescriptions(benchmark::State& state) {
    CollectRepeatedly(state, NestedDescriptionsMachine(static_cast<std::uint32_t>(state.range(0))));
}

BENCHMARK(BM_Collect)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollectTeams)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollectIntel)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollectIdentical)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollectRepeated)->Arg(2000)->Arg(4000)->Arg(8000)->Arg(16000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollectSharedAddress)->Arg(2000)->Arg(4000)->Arg(8000)->Arg(16000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollectNestedDescriptions)->Arg(2000)->Arg(4000)->Arg(8000)->Arg(16000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkscope::bench
