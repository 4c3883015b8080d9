// The network devices of a hand-made snapshot as the device list and the
// registry present them, and the registry calls' answers.
#include <gtest/gtest.h>

#include "linux/snapshot_builders.h"
#include "platform/linux/device_view.h"
#include "platform/registry_text.h"
#include "support/registry_text.h"

namespace linkscope::live {
namespace {

using namespace testing;
using linkscope::testing::Shown;
using linkscope::testing::Subkeys;
using linkscope::testing::Values;
using Texts = std::vector<std::string>;

const std::string kClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
const std::string kInterfaces =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";

TEST(DeviceView, InterfacesWithADriverOrBusDeviceBecomeDevicesInIndexOrder) {
    NetworkSnapshot snapshot;
    LinkRecord nic = Link(2, "enp1s0");
    nic.parentDevice = "0000:01:00.0";  // its driver did not answer
    snapshot.links = {Link(9, "ifb0", 0), Link(1, "lo", kUpWithCarrier, kHwLoopback), nic, Link(4, "v0")};
    snapshot.devices[9] = Driver("ifb");
    snapshot.devices[1] = Driver("");
    snapshot.devices[4] = Driver("veth", 10000, kDuplexFull);
    const DeviceView view = BuildDeviceView(snapshot);
    StoreRegistry registry([&] { return view.registry; });

    ASSERT_EQ(view.devices.size(), 3u);
    for (std::size_t i = 0; i < view.devices.size(); ++i) {
        EXPECT_EQ(view.devices[i].driverKey, "{4D36E972-E325-11CE-BFC1-08002BE10318}\\000" + std::to_string(i));
    }
    EXPECT_EQ(Values(registry, kClassKey + "0000"), (Texts{"NetCfgInstanceId 1 enp1s0<00>", "DriverDesc 1 enp1s0<00>"}));
    EXPECT_EQ(Values(registry, kClassKey + "0001"),
              (Texts{"NetCfgInstanceId 1 v0<00>", "DriverDesc 1 veth<00>", "SpeedDuplex 1 100001<00>"}));
    EXPECT_EQ(Values(registry, kClassKey + "0001\\Ndi\\Params\\SpeedDuplex\\enum"), (Texts{"100001 1 10Gbps Full<00>"}));
    EXPECT_EQ(Values(registry, kClassKey + "0002"), (Texts{"NetCfgInstanceId 1 ifb0<00>", "DriverDesc 1 ifb<00>"}));

    const std::string suffix = "#{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";
    EXPECT_EQ(Subkeys(registry, kInterfaces),
              (Texts{"##?#LINUX#NET#0000" + suffix, "##?#LINUX#NET#0001" + suffix, "##?#LINUX#NET#0002" + suffix}));
    EXPECT_EQ(Subkeys(registry, kInterfaces + "\\##?#LINUX#NET#0002" + suffix), Texts{"#ifb0"});
    EXPECT_EQ(Shown(registry, kInterfaces + "\\##?#LINUX#NET#0002" + suffix + "\\#ifb0\\Control", "Linked"),
              "4 <00><00><00><00>")
        << "ifb0 is down";
    EXPECT_EQ(Shown(registry, kInterfaces + "\\##?#LINUX#NET#0001" + suffix + "\\#v0\\Control", "Linked"),
              "4 <01><00><00><00>");
}

TEST(DeviceView, NamesWithBackslashesStayOneKey) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(3, "odd\\name", 0)};
    snapshot.devices[3] = Driver("veth");
    const DeviceView view = BuildDeviceView(snapshot);
    StoreRegistry registry([&] { return view.registry; });
    const std::string interfaceKey = kInterfaces + "\\" + Subkeys(registry, kInterfaces).at(0);

    EXPECT_EQ(Subkeys(registry, interfaceKey), Texts{"#odd\\name"});
    EXPECT_EQ(Shown(registry, interfaceKey + "\\#odd\\name\\Control", "Linked"), "4 <00><00><00><00>");
}

TEST(StoreRegistry, AnswersWithTheSystemsResultCodes) {
    auto store = std::make_shared<RegistryStore>();
    const auto key = store->AddPath(RegistryStore::kRoot, "A\\B");
    store->SetText(key, "Name", "twelve chars");  // 13 bytes with the NUL
    store->SetDword(key, "LongerName", 7);
    StoreRegistry registry([store] { return store; });

    platform::RegKey handle = 0;
    EXPECT_EQ(registry.OpenKey("A\\C", platform::kKeyRead, &handle), platform::kFileNotFound);
    ASSERT_EQ(registry.OpenKey("A\\B", platform::kKeyRead, &handle), platform::kSuccess);
    const platform::RegValue small = registry.QueryValue(handle, "Name", 12);
    EXPECT_EQ(small.result, platform::kMoreData);
    EXPECT_EQ(small.needed, 13u);
    EXPECT_EQ(registry.QueryValue(handle, "name", 13).result, platform::kFileNotFound) << "names compare exactly";
    const platform::RegEnumValue dword = registry.EnumValue(handle, 1, 16383, 4);
    EXPECT_EQ(dword.name + " " + Shown(dword.value), "LongerName 4 <07><00><00><00>");
    EXPECT_EQ(registry.EnumValue(handle, 1, 5, 4).result, platform::kMoreData) << "name longer than allowed";
    EXPECT_EQ(registry.EnumValue(handle, 2, 16383, 4).result, platform::kNoMoreItems);
    registry.CloseKey(handle);
    EXPECT_EQ(registry.QueryValue(handle, "Name", 13).result, platform::kInvalidHandle);
}

TEST(StoreRegistry, OpenKeysOutliveAStoreThatWasReplaced) {
    auto first = std::make_shared<RegistryStore>();
    first->SetText(first->AddPath(RegistryStore::kRoot, "K"), "V", "old");
    std::shared_ptr<RegistryStore> current = first;
    StoreRegistry registry([&current] { return current; });

    platform::RegKey handle = 0;
    ASSERT_EQ(registry.OpenKey("K", platform::kKeyRead, &handle), platform::kSuccess);
    current = std::make_shared<RegistryStore>();
    first.reset();

    EXPECT_EQ(platform::RegistryText(registry.QueryValue(handle, "V", 16).data), "old");
    EXPECT_EQ(Shown(registry, "K", "V"), "-") << "new opens see the new store";
    registry.CloseKey(handle);
}

}  // namespace
}  // namespace linkscope::live
