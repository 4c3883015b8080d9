// Timing queries of some classes through the stand-in host, answered from
// records collected before the timing, as the plug-in object answers them.
// Associations among the classes enumerate their ends through the host,
// which asks the plug-in again.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <boost/pointer_cast.hpp>

#include "kvl/core.h"
#include "kvl/hub.h"
#include "kvl/plugin.h"
#include "provider/linkscope.h"

namespace linkscope::bench {

class RecordsPlugin : public NQRXKVL20::IPluginCallbacks, public NQRXKVL20::IPluginBasicQueryCallbacks {
public:
    explicit RecordsPlugin(const provider::CollectedData& data) : data_(data) {}
    int GetReserved() override { return 0; }
    std::string GetName() override { return "bench"; }
    std::string GetVersion() override { return "1.0"; }
    std::string GetInterfaceVersion() override { return "1.0"; }
    void Destroy() override {}
    void Collect() override {}
    void Cleanup() override {}
    void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns,
                        const std::vector<boost::shared_ptr<NQRXKVL20::ICIMClass>>& classes) override {
        provider::QueryInstances(ns, classes, data_);
    }

private:
    provider::CollectedData data_;
};

// One query of each class, each in its own call, as a host asks. Kept out
// of line so that an instruction count can be confined to it
// (valgrind --tool=callgrind --toggle-collect='*QueryClassesInTurn*').
[[gnu::noinline]] inline void QueryClassesInTurn(
    RecordsPlugin& plugin, const boost::shared_ptr<NQRXKVL20::TPluginManagerNamespace>& manager,
    const std::vector<boost::shared_ptr<NQRXKVL20::ICIMClass>>& classes) {
    for (const auto& cls : classes) plugin.QueryInstances(manager, {cls});
}

// The timed loop of a benchmark: the classes named, queried in turn, with
// the records of `data` served by the only plug-in. Reports the instances
// one round commits.
inline void TimeClassQueries(benchmark::State& state, const provider::CollectedData& data,
                             std::initializer_list<const char*> classNames) {
    using namespace NQRXKVL20;
    const auto manager = boost::dynamic_pointer_cast<TPluginManagerNamespace>(TRootObject::GetPluginManager());
    manager->UnregisterAll();  // plug-in objects of earlier benchmarks are gone
    RecordsPlugin plugin(data);
    manager->RegisterPlugin(&plugin);

    TCIMPropertyMap context;
    context[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);
    std::vector<boost::shared_ptr<ICIMClass>> classes;
    for (const char* name : classNames) classes.push_back(manager->GetClass(name, context));

    std::size_t committed = 0;
    for (auto _ : state) {
        QueryClassesInTurn(plugin, manager, classes);
        state.PauseTiming();
        committed = manager->Committed().size();
        manager->ClearCommitted();
        state.ResumeTiming();
    }
    state.counters["instances"] = static_cast<double>(committed);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    manager->UnregisterAll();
}

}  // namespace linkscope::bench
