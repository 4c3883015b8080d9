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

void BM_Collect(benchmark::State& state) {
    auto machine = std::make_shared<sim::Machine>(LargeMachine(static_cast<std::uint32_t>(state.range(0))));
    auto previous = platform::Install(sim::MakeSimulatedPlatform(machine));
    auto* plugin = new TLinkScopeCallbacks();
    for (auto _ : state) {
        plugin->Collect();
        benchmark::DoNotOptimize(plugin->GetAdaptersInfo());
        state.PauseTiming();
        plugin->Cleanup();
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

BENCHMARK(BM_Collect)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkscope::bench
