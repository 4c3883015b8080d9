// Test support for the provider sections: hand-built adapter records served
// through the stand-in host, so that associations enumerate their ends as
// they do in the product.
#pragma once

#include <string>
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

// Serves collected records the way the plug-in object serves its own.
class RecordsPlugin : public QuietPlugin {
public:
    explicit RecordsPlugin(const provider::CollectedData& served) : data(served) {}
    void QueryInstances(boost::shared_ptr<NQRXKVL20::ICIMNamespace> ns, const ClassList& classes) override {
        provider::QueryInstances(ns, classes, data);
    }

    provider::CollectedData data;  // what every query reads
};

class HubFixture : public ::testing::Test {
protected:
    HubFixture() { manager_->RegisterPlugin(&plugin_); }
    void SetUp() override { NQRXKVL20::TOSSpecific::SetMachineName("HOST-7"); }
    void TearDown() override { NQRXKVL20::TOSSpecific::SetMachineName(""); }

    // Records as enumeration leaves them: device name and port number,
    // addresses, up and running.
    PhysicalNetworkAdapter* AddPhysical(const std::string& deviceId, std::int32_t portNumber, const TextList& ipv4 = {},
                                        const TextList& ipv6 = {}) {
        return Fill(&AdaptersInfo::AddPhysicalAdapter, new PhysicalNetworkAdapter(), deviceId, portNumber, ipv4, ipv6);
    }
    VirtualNetworkAdapter* AddVirtual(const std::string& deviceId, std::int32_t portNumber, const TextList& ipv4 = {},
                                      const TextList& ipv6 = {}) {
        return Fill(&AdaptersInfo::AddVirtualAdapter, new VirtualNetworkAdapter(), deviceId, portNumber, ipv4, ipv6);
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

private:
    template <class Add, class Record>
    Record* Fill(Add add, Record* adapter, const std::string& deviceId, std::int32_t portNumber, const TextList& ipv4,
                 const TextList& ipv6) {
        (adapters_.*add)(adapter);
        adapter->SetDeviceID(deviceId);
        adapter->SetPortNumber(portNumber);
        adapter->SetEnabledState(2);
        adapter->SetIPv4AddressList(ipv4);
        adapter->SetIPv6AddressList(ipv6);
        return adapter;
    }
};

}  // namespace linkscope::testing
