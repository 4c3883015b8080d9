// A plug-in for tests: answers a query for a class by running the action
// registered for that class name.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "kvl/plugin.h"

namespace hosttest {

class FakePlugin : public NQRXKVL20::IPluginCallbacks,
                   public NQRXKVL20::IPluginBasicQueryCallbacks {
public:
    typedef std::function<void(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns,
                               NQRXKVL20::ICIMClass& cls)>
        Action;

    void On(const std::string& className, Action action) { actions_[className] = action; }
    int queries() const { return queries_; }

    int GetReserved() override { return 0; }
    std::string GetName() override { return "fake"; }
    std::string GetVersion() override { return "1.0"; }
    std::string GetInterfaceVersion() override { return "1.0"; }
    void Destroy() override {}
    void Collect() override {}
    void Cleanup() override {}

    void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns,
                        const std::vector<boost::shared_ptr<NQRXKVL20::ICIMClass> >& classes)
        override {
        for (const auto& cls : classes) {
            ++queries_;
            auto action = actions_.find(cls->GetName(NQRXKVL20::TCIMPropertyMap()));
            if (action != actions_.end()) action->second(ns, *cls);
        }
    }

private:
    std::map<std::string, Action> actions_;
    int queries_ = 0;
};

}  // namespace hosttest
