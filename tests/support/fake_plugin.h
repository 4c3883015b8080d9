// Test support: plug-ins for tests of the host and the query handler.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "kvl/plugin.h"

namespace linkscope::testing {

using ClassList = std::vector<boost::shared_ptr<NQRXKVL20::ICIMClass>>;

// A plug-in whose identity is fixed and whose life-cycle calls do nothing;
// tests override what they look at.
class QuietPlugin : public NQRXKVL20::IPluginCallbacks, public NQRXKVL20::IPluginBasicQueryCallbacks {
public:
    int GetReserved() override { return 0; }
    std::string GetName() override { return "test plug-in"; }
    std::string GetVersion() override { return "1.0"; }
    std::string GetInterfaceVersion() override { return "1.0"; }
    void Destroy() override {}
    void Collect() override {}
    void Cleanup() override {}
    void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace>, const ClassList&) override {}
};

// Answers a query for a class by running the action registered for its
// name, and counts the classes it was asked for.
class FakePlugin : public QuietPlugin {
public:
    using Action = std::function<void(boost::shared_ptr<NQRXKVL20::ICIMNamespace>, NQRXKVL20::ICIMClass&)>;

    void On(const std::string& className, Action action) { actions_[className] = std::move(action); }
    int queries() const { return queries_; }

    void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns, const ClassList& classes) override {
        for (const auto& cls : classes) {
            ++queries_;
            const auto action = actions_.find(cls->GetName({}));
            if (action != actions_.end()) action->second(ns, *cls);
        }
    }

private:
    std::map<std::string, Action> actions_;
    int queries_ = 0;
};

}  // namespace linkscope::testing
