// Finding enumerated instances by a key property.
#include <gtest/gtest.h>

#include "provider/hub_fixture.h"
#include "provider/instance_index.h"

namespace linkscope::testing {
namespace {

using NQRXKVL20::TCIMPropertyMap;
using NQRXKVL20::TCIMSchemaHelper;

class InstanceIndexTest : public HubFixture {
protected:
    // A port another provider serves, told apart by its system name.
    void AddStaticPort(const std::string& deviceId, const std::string& systemName) {
        manager_->AddStaticInstance("QRXSG_PhysicalNetworkPort", TCIMPropertyMap{{"DeviceID", TCIMValue(deviceId)},
                                                                                 {"SystemName", TCIMValue(systemName)}});
    }
    static std::string PathText(const TCIMValue* path) { return path ? path->ToString() : "<none>"; }
};

TEST_F(InstanceIndexTest, TheFirstInstanceEnumeratedWithAKeyIsFound) {
    AddPhysical("eth0", 1);  // served by the plug-in, enumerated before the static ones
    AddStaticPort("eth0", "STATIC");
    AddStaticPort("eth1", "FIRST");
    AddStaticPort("eth1", "SECOND");
    provider::QueryContext query;
    query.ns = manager_;
    query.lookupContext[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);
    provider::InstanceIndex index(query, "QRXSG_PhysicalNetworkPort", "DeviceID");

    EXPECT_EQ(PathText(index.FindPath("eth0")),
              "QRXSG_PhysicalNetworkPort.CreationClassname=\"QRXSG_PhysicalNetworkPort\",DeviceID=\"eth0\","
              "SystemCreationClassName=\"QRXSG_ComputerSystem\",SystemName=\"HOST-7\"");
    EXPECT_EQ(PathText(index.FindPath("eth1")), "QRXSG_PhysicalNetworkPort.DeviceID=\"eth1\",SystemName=\"FIRST\"");
    EXPECT_EQ(index.FindPath("eth1"), index.FindPath("eth1")) << "the path is asked for once";
    EXPECT_EQ(PathText(index.FindPath("ETH1")), "<none>");
    EXPECT_EQ(PathText(index.FindPath("")), "<none>");
}

}  // namespace
}  // namespace linkscope::testing
