// The plug-in object's attach step, identity, collection and cleanup.
#include <gtest/gtest.h>

#include <boost/pointer_cast.hpp>

#include "collect/adapters_info.h"
#include "collect/network_params.h"
#include "frame/library_attach.h"
#include "frame/link_scope_callbacks.h"
#include "kvl/hub.h"
#include "support/sim_machine.h"

namespace linkscope {
namespace {

using NQRXKVL20::IPluginBasicQueryCallbacks;
using NQRXKVL20::IPluginCallbacks;
using NQRXKVL20::TPluginManagerNamespace;
using testing::ScopedMachine;

TPluginManagerNamespace& Manager() {
    return *boost::dynamic_pointer_cast<TPluginManagerNamespace>(NQRXKVL20::TRootObject::GetPluginManager());
}

class LifecycleTest : public ::testing::Test {
protected:
    void SetUp() override { Manager().UnregisterAll(); }
    void TearDown() override {
        // As a host ends: cleanup, then destroy (which frees only the object).
        for (IPluginCallbacks* plugin : Manager().Plugins()) {
            plugin->Cleanup();
            plugin->Destroy();
        }
        Manager().UnregisterAll();
    }

    TLinkScopeCallbacks& Attached() {
        EXPECT_EQ(LibraryAttach(kProcessAttach), 1);
        EXPECT_EQ(Manager().Plugins().size(), 1u);
        return dynamic_cast<TLinkScopeCallbacks&>(*Manager().Plugins().at(0));
    }

    ScopedMachine machine_{sim::Machine{}};
};

TEST_F(LifecycleTest, ProcessAttachRegistersOneObjectAndOtherReasonsDoNothing) {
    for (unsigned long reason : {0ul, 2ul, 3ul}) EXPECT_EQ(LibraryAttach(reason), 1) << reason;
    EXPECT_TRUE(Manager().Plugins().empty());
    TLinkScopeCallbacks& plugin = Attached();
    // The host reaches the query interface by a cross cast.
    EXPECT_NE(dynamic_cast<IPluginBasicQueryCallbacks*>(static_cast<IPluginCallbacks*>(&plugin)), nullptr);
    EXPECT_EQ(LibraryAttach(0), 1) << "detach";
    ASSERT_EQ(Manager().Plugins().size(), 1u);
    EXPECT_EQ(plugin.GetName(), "Link Scope Collector") << "the object outlives detach";
}

TEST_F(LifecycleTest, CleanupEmptiesEveryMemberAndQueriesThenAnswerNothing) {
    TLinkScopeCallbacks& plugin = Attached();
    plugin.Cleanup();  // before any Collect: nothing to delete
    plugin.Collect();
    plugin.Collect();  // a second run replaces the first without leaking it
    plugin.Cleanup();
    EXPECT_EQ(plugin.GetNetworkParams(), nullptr);
    EXPECT_EQ(plugin.GetRouteInfo(), nullptr);
    EXPECT_EQ(plugin.GetTeams(), nullptr);
    EXPECT_EQ(plugin.GetAdaptersInfo(), nullptr);

    auto ns = NQRXKVL20::TRootObject::GetPluginManager();
    Manager().ClearCommitted();
    plugin.QueryInstances(ns, {ns->GetClass("QRXSG_IPService", {})});
    EXPECT_TRUE(Manager().Committed().empty());
}

}  // namespace
}  // namespace linkscope
