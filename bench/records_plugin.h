// A plug-in object for the query benchmarks: answers the host's queries
// from records collected before the timing, as the plug-in object does.
#pragma once

#include <string>
#include <vector>

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

}  // namespace linkscope::bench
