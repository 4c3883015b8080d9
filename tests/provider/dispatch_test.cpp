// Dispatch of requested classes to the sections, and what a failing host
// does to it. The IP service's properties are pinned end to end by the
// machine inventory test.
#include <gtest/gtest.h>

#include "collect/network_params.h"
#include "kvl/core.h"
#include "provider/linkscope.h"
#include "support/fake_cim.h"
#include "support/sim_machine.h"

namespace linkscope::provider {
namespace {

using namespace linkscope::testing;

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        NQRXKVL20::TOSSpecific::SetMachineName("HOST-7");
        sim::Machine machine;
        machine.host = {"lab-01", "corp.example", 1, 2};
        ScopedMachine installed(machine);
        params_.Collect();
    }
    void TearDown() override { NQRXKVL20::TOSSpecific::SetMachineName(""); }

    boost::shared_ptr<FakeClass> Class(const std::string& name) { return boost::make_shared<FakeClass>(name, log_); }

    void Query(const std::vector<boost::shared_ptr<ICIMClass>>& classes) {
        QueryInstances(ns_, classes, CollectedData{&params_, nullptr, nullptr});
    }

    std::vector<std::string> CommittedClasses() const {
        std::vector<std::string> names;
        for (const CommittedInstance& instance : log_.instances) names.push_back(instance.className);
        return names;
    }

    CommitLog log_;
    boost::shared_ptr<FakeNamespace> ns_ = boost::make_shared<FakeNamespace>(log_);
    NetworkParams params_;
};

TEST_F(DispatchTest, UnservedAndMiscasedNamesYieldNothingAndARepeatedClassIsServedAgain) {
    Query({Class("qrxsg_ipservice"), Class("QRXSG_NetworkPort"), Class("QRXSG_IPService"),
           Class("QRXSG_NetworkPortStatistics"), Class("QRXSG_RouteUsesEndpoint"), Class("QRXSG_NextHopIPRoute"),
           Class("QRXSG_NoSuchThing"), Class("QRXSG_IPService")});
    EXPECT_EQ(CommittedClasses(), (std::vector<std::string>{"QRXSG_IPService", "QRXSG_IPService"}));
    EXPECT_EQ(log_.instances[0].properties, log_.instances[1].properties);
}

TEST_F(DispatchTest, SchemaHelpersAreAskedEvenForAnEmptyListAndTheirFailureIsHarmless) {
    Query({});
    EXPECT_FALSE(ns_->lookups.empty()) << "the schema helpers consult the namespace";
    EXPECT_TRUE(log_.instances.empty());

    ns_->failLookups = true;
    Query({Class("QRXSG_IPService")});
    EXPECT_EQ(log_.instances.size(), 1u);
}

TEST_F(DispatchTest, AFailingSetPropertyEndsTheQueryKeepingEarlierCommits) {
    log_.setPropertiesBeforeFailure = 8 + 3;  // the second instance fails at its fourth property
    auto third = Class("QRXSG_IPService");
    EXPECT_THROW(Query({Class("QRXSG_IPService"), Class("QRXSG_IPService"), third}), NQRXKVL20::TKVLException);
    EXPECT_EQ(log_.instances.size(), 1u);
    EXPECT_EQ(third->nameRequests, 0) << "the remaining classes are not served";
}

TEST_F(DispatchTest, NothingIsServedWithoutCollectedParameters) {
    QueryInstances(ns_, {Class("QRXSG_IPService")}, CollectedData{});
    EXPECT_TRUE(log_.instances.empty());
}

}  // namespace
}  // namespace linkscope::provider
