// The network devices of a hand-made snapshot as the device list and the
// registry present them, and the registry calls' answers.
#include <gtest/gtest.h>

#include "linux/snapshot_builders.h"
#include "platform/linux/device_view.h"
#include "platform/registry_text.h"

namespace linkscope::live {
namespace {

using namespace testing;

constexpr char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr char kInterfaces[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";

// The text of a value (a DWORD as its first byte's number), or "-" when
// the key or the value is missing; or the key's first subkey, for "*".
std::string Read(StoreRegistry& registry, const std::string& path, const std::string& name) {
    platform::RegKey key = 0;
    if (registry.OpenKey(path, platform::kKeyRead, &key) != platform::kSuccess) return "-";
    std::string text = "-";
    if (name == "*") {
        registry.EnumKey(key, 0, 255, &text);
    } else if (const platform::RegValue value = registry.QueryValue(key, name, 1024); value.result == 0) {
        text = value.type == platform::kRegDword ? std::to_string(value.data.at(0)) : platform::RegistryText(value.data);
    }
    registry.CloseKey(key);
    return text;
}

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

    std::vector<std::string> devices;
    for (std::size_t i = 0; i < view.devices.size(); ++i) {
        EXPECT_EQ(view.devices[i].driverKey, "{4D36E972-E325-11CE-BFC1-08002BE10318}\\000" + std::to_string(i));
        const std::string classKey = kClassKey + std::string("000") + std::to_string(i);
        devices.push_back(Read(registry, classKey, "NetCfgInstanceId") + " " + Read(registry, classKey, "DriverDesc") +
                          " " + Read(registry, classKey, "SpeedDuplex"));
    }
    EXPECT_EQ(devices, (std::vector<std::string>{"enp1s0 enp1s0 -", "v0 veth 100001", "ifb0 ifb -"}));
    EXPECT_EQ(Read(registry, std::string(kClassKey) + "0001\\Ndi\\Params\\SpeedDuplex\\enum", "100001"), "10Gbps Full");

    const std::string lastInterface = std::string(kInterfaces) + "\\##?#LINUX#NET#0002#{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";
    EXPECT_EQ(Read(registry, lastInterface, "*"), "#ifb0");
    EXPECT_EQ(Read(registry, lastInterface + "\\#ifb0\\Control", "Linked"), "0") << "ifb0 is down";
    EXPECT_EQ(Read(registry, std::string(kInterfaces) + "\\##?#LINUX#NET#0001#{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}"
                                                       "\\#v0\\Control", "Linked"), "1");
}

TEST(DeviceView, NamesWithBackslashesStayOneKey) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(3, "odd\\name", 0)};
    snapshot.devices[3] = Driver("veth");
    const DeviceView view = BuildDeviceView(snapshot);
    StoreRegistry registry([&] { return view.registry; });
    const std::string interfaceKey = std::string(kInterfaces) + "\\" + Read(registry, kInterfaces, "*");

    EXPECT_EQ(Read(registry, interfaceKey, "*"), "#odd\\name");
    EXPECT_EQ(Read(registry, interfaceKey + "\\#odd\\name\\Control", "Linked"), "0");
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
    EXPECT_EQ(dword.name, "LongerName");
    EXPECT_EQ(dword.value.data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
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
    EXPECT_EQ(Read(registry, "K", "V"), "-") << "new opens see the new store";
    registry.CloseKey(handle);
}

}  // namespace
}  // namespace linkscope::live
