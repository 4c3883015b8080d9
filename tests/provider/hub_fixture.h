// Test support for the provider sections: hand-built adapter records served
// through the stand-in host, so that associations enumerate their ends as
// they do in the product.
#pragma once

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>

#include "collect/adapters_info.h"
#include "kvl/core.h"
#include "kvl/hub.h"
#include "provider/linkscope.h"
#include "support/fake_plugin.h"
#include "support/sim_machine.h"

namespace linkscope::testing {

using NQRXKVL20::TCIMValue;
using Instances = std::vector<boost::shared_ptr<NQRXKVL20::THubInstance>>;
using Texts = std::vector<std::string>;

// Serves collected records the way the plug-in object serves its own,
// except the class named `left` that a test lays out itself.
class RecordsPlugin : public QuietPlugin {
public:
    explicit RecordsPlugin(const provider::CollectedData& served) : data(served) {}
    void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns, const ClassList& classes) override {
        ClassList kept;
        for (const auto& cls : classes) {
            if (cls->GetName({}) != left) kept.push_back(cls);
        }
        provider::QueryInstances(ns, kept, data);
    }
    provider::CollectedData data;
    std::string left;
};

class HubFixture : public ::testing::Test {
protected:
    HubFixture() { manager_->RegisterPlugin(&plugin_); }
    void SetUp() override { NQRXKVL20::TOSSpecific::SetMachineName("HOST-7"); }
    void TearDown() override { NQRXKVL20::TOSSpecific::SetMachineName(""); }

    // A record as enumeration leaves it: device name and port number,
    // addresses, up and running.
    template <class Record = PhysicalNetworkAdapter>
    Record* AddRecord(const std::string& deviceId, std::int32_t portNumber, const TextList& ipv4 = {},
                      const TextList& ipv6 = {}) {
        auto* adapter = new Record();
        if constexpr (std::is_same_v<Record, VirtualNetworkAdapter>) adapters_.AddVirtualAdapter(adapter);
        else adapters_.AddPhysicalAdapter(adapter);
        adapter->SetDeviceID(deviceId);
        adapter->SetPortNumber(portNumber);
        adapter->SetEnabledState(2);
        adapter->SetIPv4AddressList(ipv4);
        adapter->SetIPv6AddressList(ipv6);
        return adapter;
    }

    // One query for these classes, in this order; what it committed.
    Instances Query(const Texts& classNames) {
        ClassList classes;
        for (const std::string& name : classNames) classes.push_back(manager_->GetClass(name, {}));
        manager_->ClearCommitted();
        plugin_.QueryInstances(manager_, classes);
        return manager_->Committed();
    }

    // Values of one property across instances ("<unset>" where absent).
    static Texts Column(const Instances& instances, const std::string& property) {
        Texts values;
        for (const auto& instance : instances) {
            auto found = instance->GetProperty(property, {});
            values.push_back(found ? found->GetValue({}).ToString() : "<unset>");
        }
        return values;
    }

    ScopedMachine machine_{sim::Machine{}};  // records read the exclusion switch from it
    AdaptersInfo adapters_;
    boost::shared_ptr<NQRXKVL20::TPluginManagerNamespace> manager_ =
        boost::make_shared<NQRXKVL20::TPluginManagerNamespace>();
    RecordsPlugin plugin_{provider::CollectedData{nullptr, &adapters_, nullptr}};
};

}  // namespace linkscope::testing
