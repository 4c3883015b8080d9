// The whole inventory of large simulated machines: collection, then a query
// of every served class in table order through the stand-in host, whose
// enumerations re-ask the plug-in for the association's ends. Committed
// instances are counted and let go of, as the runner does once it has
// printed them.
#include <memory>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>
#include <boost/pointer_cast.hpp>

#include "bench/large_machine.h"
#include "frame/link_scope_callbacks.h"
#include "kvl/core.h"
#include "kvl/hub.h"
#include "platform/sim/machine_file.h"
#include "provider/linkscope.h"

namespace linkscope::bench {
namespace {

using namespace NQRXKVL20;

void InventoryRepeatedly(benchmark::State& state, sim::Machine built) {
    auto machine = std::make_shared<sim::Machine>(std::move(built));
    auto previous = platform::Install(sim::MakeSimulatedPlatform(machine));
    const auto manager = boost::dynamic_pointer_cast<TPluginManagerNamespace>(TRootObject::GetPluginManager());
    // Plug-in objects of earlier benchmarks are gone; only this one answers.
    manager->UnregisterAll();
    auto* plugin = new TLinkScopeCallbacks();

    TCIMPropertyMap context;
    context[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);
    std::vector<boost::shared_ptr<ICIMClass>> classes;
    for (const char* name : provider::ServedClassNames()) classes.push_back(manager->GetClass(name, context));

    std::size_t committed = 0;
    manager->SetCommitSink([&committed](const THubInstance&) { ++committed; });
    for (auto _ : state) {
        committed = 0;
        plugin->Collect();
        for (const auto& cls : classes) plugin->QueryInstances(manager, {cls});
        state.PauseTiming();
        plugin->Cleanup();
        state.ResumeTiming();
    }
    manager->SetCommitSink(nullptr);
    state.counters["instances"] = static_cast<double>(committed);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    plugin->Destroy();
    manager->UnregisterAll();
    platform::Install(std::move(previous));
}

void BM_Inventory(benchmark::State& state) {
    InventoryRepeatedly(state, LargeMachine(static_cast<std::uint32_t>(state.range(0))));
}

// One adapter listed again and again: one port with as many endpoints of
// one name, and associations that find each end among its namesakes.
void BM_InventoryIdentical(benchmark::State& state) {
    InventoryRepeatedly(state, IdenticalAdaptersMachine(static_cast<std::uint32_t>(state.range(0))));
}

BENCHMARK(BM_Inventory)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InventoryIdentical)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace linkscope::bench
