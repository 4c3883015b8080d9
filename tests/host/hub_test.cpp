// The plug-in manager as an object store: classes, instances, enumeration
// across plug-ins and static instances. Commit routing during an
// association's enumeration of its ends is exercised by the provider's
// association tests, object paths by the format and golden-file tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <boost/make_shared.hpp>
#include <boost/pointer_cast.hpp>

#include "kvl/hub.h"
#include "support/fake_plugin.h"
#include "support/status_of.h"

namespace {

using namespace NQRXKVL20;
using linkscope::testing::FakePlugin;
using linkscope::testing::kNothingThrown;
using linkscope::testing::StatusOf;
using InstanceVector = std::vector<boost::shared_ptr<ICIMInstance>>;

class HubTest : public ::testing::Test {
protected:
    boost::shared_ptr<ICIMInstance> Create(const std::string& className) {
        return ns->GetClass(className, {})->CreateInstance({});
    }

    InstanceVector Enumerate(const std::string& className) {
        InstanceVector found;
        ns->GetClass(className, {})->EnumerateInstances(TAddToVectorCallback<ICIMInstance>(&found), true, {});
        return found;
    }

    boost::shared_ptr<TPluginManagerNamespace> ns = boost::make_shared<TPluginManagerNamespace>();
    FakePlugin plugin;
};

TEST_F(HubTest, AnotherProvidersClassIsKnownOnceDefinedAndItsLookupFailsWithTheStatusSet) {
    EXPECT_EQ(StatusOf([&] { ns->GetClass("qrxsg_ipservice", {}); }), kKVLStatusInvalidClass) << "names are exact";
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_PCIDevice", {}); }), kKVLStatusInvalidClass);
    EXPECT_EQ(StatusOf([&] { ns->SetLookupStatus("QRXSG_PCIDevice", kKVLStatusFailed); }), kKVLStatusInvalidClass);
    ns->DefineClass("QRXSG_PCIDevice", {"DeviceID"});
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_PCIDevice", {}); }), kNothingThrown);

    ns->SetLookupStatus("QRXSG_PCIDevice", kKVLStatusNotFound);
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_PCIDevice", {}); }), kKVLStatusNotFound);
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_IPService", {}); }), kNothingThrown);
    ns->SetLookupStatus("QRXSG_PCIDevice", kKVLStatusOk);
    EXPECT_EQ(StatusOf([&] { ns->GetClass("QRXSG_PCIDevice", {}); }), kNothingThrown);
}

TEST_F(HubTest, DereferencingAnUnsetPropertyReachesTheAssertionHandler) {
    boost::shared_ptr<ICIMProperty> missing = Create("QRXSG_IPService")->GetProperty("HostName", {});
    EXPECT_FALSE(missing);

    TRootObject::CoreLogger().Clear();
    EXPECT_EQ(StatusOf([&] { missing->GetValue({}); }), kKVLStatusAssertionFailed);
    const auto& entries = TRootObject::CoreLogger().Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].level, 1);
    EXPECT_NE(entries[0].text.find("px != 0"), std::string::npos);
    EXPECT_NE(entries[0].text.find("shared_ptr.hpp:"), std::string::npos);
}

TEST_F(HubTest, RunawayEnumerationIsRefusedAndRoutingRecovers) {
    plugin.On("QRXSG_SpareGroup", [this](auto, ICIMClass&) { Enumerate("QRXSG_SpareGroup"); });
    ns->RegisterPlugin(&plugin);

    EXPECT_THROW(Enumerate("QRXSG_SpareGroup"), TKVLException);
    EXPECT_EQ(plugin.queries(), 16);
    Create("QRXSG_IPService")->Commit({});
    EXPECT_EQ(ns->Committed().size(), 1u) << "a commit after the refusal reaches the output again";
}

TEST(HubLifetimeTest, CommittedReferencesDoNotKeepTheNamespaceAlive) {
    auto ns = boost::make_shared<TPluginManagerNamespace>();
    const boost::weak_ptr<TPluginManagerNamespace> watch = ns;
    auto link = ns->GetClass("QRXSG_ActsAsSpare", {})->CreateInstance({});
    link->SetProperty("Group", TCIMValue(link->GetReference({})), {});
    link->Commit({});
    link.reset();
    ns.reset();
    EXPECT_TRUE(watch.expired());
}

}  // namespace
