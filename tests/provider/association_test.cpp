// The index that finds the instances the host enumerates by a key, on
// which every association joins its ends. The associations themselves are
// pinned end to end by the machine inventory test and its golden files.
#include <gtest/gtest.h>

#include "provider/hub_fixture.h"
#include "provider/instance_index.h"

namespace linkscope::testing {
namespace {

// The object path of a port the plug-in serves on HOST-7: keys in name order.
std::string PortPath(const std::string& className, const std::string& deviceId) {
    return className + ".CreationClassname=\"" + className + "\",DeviceID=\"" + deviceId +
           "\",SystemCreationClassName=\"QRXSG_ComputerSystem\",SystemName=\"HOST-7\"";
}
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

    EXPECT_EQ(PathText(index.FindPath("eth0")), PortPath("QRXSG_PhysicalNetworkPort", "eth0"));
    EXPECT_EQ(PathText(index.FindPath("eth1")), "QRXSG_PhysicalNetworkPort.DeviceID=\"eth1\",SystemName=\"FIRST\"");
    EXPECT_EQ(PathText(index.FindPath("ETH1")), "<none>");
    EXPECT_EQ(PathText(index.FindPath("")), "<none>");
}

}  // namespace
}  // namespace linkscope::testing
