// Dispatch of requested classes to the sections, and what a failing host
// does to it, through host objects that record calls and can fail. The IP
// service's properties are pinned by the machine inventory test.
#include <gtest/gtest.h>

#include <stdexcept>

#include <boost/make_shared.hpp>

#include "collect/network_params.h"
#include "kvl/core.h"
#include "provider/linkscope.h"
#include "support/sim_machine.h"

namespace linkscope::provider {
namespace {

using namespace linkscope::testing;
using namespace NQRXKVL20;

struct CommittedInstance {
    std::string className;
    std::vector<std::pair<std::string, TCIMValue>> properties;
};

// What the fakes were asked and committed, and whether they are to fail.
struct HostLog {
    std::vector<CommittedInstance> instances;
    std::vector<std::string> lookups;
    bool failLookups = false;
    int setPropertiesBeforeFailure = -1;  // SetProperty throws once this many were set (-1: never)
};

class FakeInstance : public ICIMInstance {
public:
    FakeInstance(std::string className, HostLog& log) : log_(log) { pending_.className = std::move(className); }
    void Commit(TCIMPropertyMap) override { log_.instances.push_back(pending_); }
    TCIMReference GetReference(TCIMPropertyMap) override { return TCIMReference(); }
    boost::shared_ptr<ICIMProperty> GetProperty(const std::string&, TCIMPropertyMap) override { return {}; }
    void SetProperty(const std::string& name, const TCIMValue& value, TCIMPropertyMap) override {
        if (log_.setPropertiesBeforeFailure-- == 0) throw TKVLException(kKVLStatusTypeMismatch, name);
        pending_.properties.emplace_back(name, value);
    }

private:
    HostLog& log_;
    CommittedInstance pending_;
};

class FakeClass : public ICIMClass {
public:
    FakeClass(std::string name, HostLog& log) : name_(std::move(name)), log_(log) {}
    const std::string& GetName(TCIMPropertyMap) override { return ++nameRequests, name_; }
    boost::shared_ptr<ICIMInstance> CreateInstance(TCIMPropertyMap) override {
        return boost::make_shared<FakeInstance>(name_, log_);
    }
    void EnumerateInstances(const TInstanceCallback&, bool, TCIMPropertyMap) override {}

    int nameRequests = 0;

private:
    std::string name_;
    HostLog& log_;
};

class FakeNamespace : public ICIMNamespace {
public:
    explicit FakeNamespace(HostLog& log) : log_(log) {}
    boost::shared_ptr<ICIMClass> GetClass(const std::string& name, TCIMPropertyMap) override {
        log_.lookups.push_back(name);
        if (log_.failLookups) throw std::runtime_error("lookup refused");
        return boost::make_shared<FakeClass>(name, log_);
    }

private:
    HostLog& log_;
};

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        TOSSpecific::SetMachineName("HOST-7");
        sim::Machine machine;
        machine.host = {"lab-01", "corp.example", 1, 2};
        ScopedMachine installed(machine);
        params_.Collect();
    }
    void TearDown() override { TOSSpecific::SetMachineName(""); }

    boost::shared_ptr<FakeClass> Class(const std::string& name) { return boost::make_shared<FakeClass>(name, log_); }

    void Query(const std::vector<boost::shared_ptr<ICIMClass>>& classes) {
        QueryInstances(ns_, classes, CollectedData{&params_, nullptr, nullptr});
    }

    HostLog log_;
    boost::shared_ptr<FakeNamespace> ns_ = boost::make_shared<FakeNamespace>(log_);
    NetworkParams params_;
};

TEST_F(DispatchTest, UnservedAndMiscasedNamesYieldNothingAndARepeatedClassIsServedAgain) {
    Query({Class("qrxsg_ipservice"), Class("QRXSG_NetworkPort"), Class("QRXSG_IPService"),
           Class("QRXSG_NetworkPortStatistics"), Class("QRXSG_RouteUsesEndpoint"), Class("QRXSG_NextHopIPRoute"),
           Class("QRXSG_NoSuchThing"), Class("QRXSG_IPService")});
    ASSERT_EQ(log_.instances.size(), 2u);
    EXPECT_EQ(log_.instances[0].className + " " + log_.instances[1].className, "QRXSG_IPService QRXSG_IPService");
    EXPECT_EQ(log_.instances[0].properties, log_.instances[1].properties);
}

TEST_F(DispatchTest, SchemaHelpersAreAskedEvenForAnEmptyListAndTheirFailureIsHarmless) {
    Query({});
    EXPECT_FALSE(log_.lookups.empty()) << "the schema helpers consult the namespace";
    QueryInstances(ns_, {Class("QRXSG_IPService")}, CollectedData{});  // nothing without collected parameters
    EXPECT_TRUE(log_.instances.empty());

    log_.failLookups = true;
    Query({Class("QRXSG_IPService")});
    EXPECT_EQ(log_.instances.size(), 1u);
}

TEST_F(DispatchTest, AFailingSetPropertyEndsTheQueryKeepingEarlierCommits) {
    log_.setPropertiesBeforeFailure = 8 + 3;  // the second instance fails at its fourth property
    auto third = Class("QRXSG_IPService");
    EXPECT_THROW(Query({Class("QRXSG_IPService"), Class("QRXSG_IPService"), third}), TKVLException);
    EXPECT_EQ(log_.instances.size(), 1u);
    EXPECT_EQ(third->nameRequests, 0) << "the remaining classes are not served";
}

}  // namespace
}  // namespace linkscope::provider
