// The network devices of a hand-made snapshot as the device list and the
// registry present them, and the registry calls' answers.
#include <gtest/gtest.h>

#include "linux/snapshot_builders.h"
#include "platform/linux/device_view.h"
#include "platform/registry_text.h"

namespace linkscope::live {
namespace {

using namespace testing;

constexpr char kClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}\\";
constexpr char kInterfaceClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";

// A registry over one fixed store, read key by key.
class Reader {
public:
    explicit Reader(std::shared_ptr<const RegistryStore> store) : registry_([store] { return store; }) {}

    // The value's text (a number for DWORD values); "<no key>" or
    // "<no value>" when missing.
    std::string Read(const std::string& path, const std::string& name) {
        platform::RegKey key = 0;
        if (registry_.OpenKey(path, platform::kKeyRead, &key) != platform::kSuccess) return "<no key>";
        const platform::RegValue value = registry_.QueryValue(key, name, 1024);
        registry_.CloseKey(key);
        if (value.result != platform::kSuccess) return "<no value>";
        if (value.type == platform::kRegDword) return std::to_string(value.data.at(0));
        return platform::RegistryText(value.data);
    }

    std::vector<std::string> Subkeys(const std::string& path) {
        std::vector<std::string> names;
        platform::RegKey key = 0;
        if (registry_.OpenKey(path, platform::kKeyRead, &key) != platform::kSuccess) return names;
        std::string name;
        for (std::uint32_t i = 0; registry_.EnumKey(key, i, 255, &name) == platform::kSuccess; ++i) {
            names.push_back(name);
        }
        registry_.CloseKey(key);
        return names;
    }

    StoreRegistry& Registry() { return registry_; }

private:
    StoreRegistry registry_;
};

NetworkSnapshot MixedSnapshot() {
    NetworkSnapshot snapshot;
    LinkRecord nic = Link(2, "enp1s0", kUpWithCarrier);
    nic.parentDevice = "0000:01:00.0";
    snapshot.links = {Link(9, "ifb0", 0), Link(1, "lo", kUpWithCarrier, kHwLoopback), nic, Link(5, "br0"),
                      Link(4, "v0")};
    snapshot.devices[9] = Driver("ifb");
    snapshot.devices[1] = Driver("");
    snapshot.devices[5] = Driver("bridge");
    snapshot.devices[4] = Driver("veth", 10000, kDuplexFull);
    // The bus device's driver did not answer; the device is still listed.
    return snapshot;
}

TEST(DeviceView, InterfacesWithADriverOrBusDeviceAreNetworkDevicesInIndexOrder) {
    const DeviceView view = BuildDeviceView(MixedSnapshot());
    Reader reader(view.registry);

    std::vector<std::string> ids;
    for (const platform::DeviceRecord& device : view.devices) {
        EXPECT_EQ(device.className, "Net");
        EXPECT_EQ(device.classGuid, "{4D36E972-E325-11CE-BFC1-08002BE10318}");
        ids.push_back(reader.Read(kClassKey + device.driverKey->substr(device.driverKey->find('\\') + 1),
                                  "NetCfgInstanceId"));
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"enp1s0", "v0", "br0", "ifb0"})) << "lo has neither";
    EXPECT_EQ(view.devices[0].driverKey, "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0000");
    EXPECT_EQ(view.devices[3].driverKey, "{4D36E972-E325-11CE-BFC1-08002BE10318}\\0003");
}

TEST(DeviceView, ClassKeysCarryDescriptionAndKnownSpeed) {
    Reader reader(BuildDeviceView(MixedSnapshot()).registry);
    const std::string nic = std::string(kClassKey) + "0000";
    const std::string veth = std::string(kClassKey) + "0001";
    const std::string bridge = std::string(kClassKey) + "0002";

    EXPECT_EQ(reader.Read(nic, "DriverDesc"), "enp1s0");
    EXPECT_EQ(reader.Read(nic, "SpeedDuplex"), "<no value>");
    EXPECT_EQ(reader.Read(veth, "DriverDesc"), "veth");
    EXPECT_EQ(reader.Read(veth, "SpeedDuplex"), "100001");
    EXPECT_EQ(reader.Read(veth + "\\Ndi\\Params\\SpeedDuplex\\enum", "100001"), "10Gbps Full");
    EXPECT_EQ(reader.Read(bridge, "SpeedDuplex"), "<no value>");
    EXPECT_EQ(reader.Read(bridge + "\\Ndi\\Params\\SpeedDuplex\\enum", "0"), "<no key>");
}

TEST(DeviceView, DeviceInterfacesAreLinkedWhileTheInterfaceIsUp) {
    Reader reader(BuildDeviceView(MixedSnapshot()).registry);
    const std::vector<std::string> interfaces = reader.Subkeys(kInterfaceClassKey);
    ASSERT_EQ(interfaces.size(), 4u);

    std::vector<std::string> linked;
    for (const std::string& name : interfaces) {
        const std::string path = std::string(kInterfaceClassKey) + "\\" + name;
        const std::vector<std::string> references = reader.Subkeys(path);
        ASSERT_EQ(references.size(), 1u);
        linked.push_back(references[0] + "=" + reader.Read(path + "\\" + references[0] + "\\Control", "Linked"));
    }
    EXPECT_EQ(linked, (std::vector<std::string>{"#enp1s0=1", "#v0=1", "#br0=1", "#ifb0=0"}));
}

TEST(DeviceView, NamesWithBackslashesStayOneKey) {
    NetworkSnapshot snapshot;
    snapshot.links = {Link(3, "odd\\name", 0)};
    snapshot.devices[3] = Driver("veth");
    const DeviceView view = BuildDeviceView(snapshot);
    Reader reader(view.registry);
    const std::string interfaceKey = std::string(kInterfaceClassKey) + "\\" + reader.Subkeys(kInterfaceClassKey).at(0);

    EXPECT_EQ(reader.Subkeys(interfaceKey), (std::vector<std::string>{"#odd\\name"}));
    EXPECT_EQ(reader.Read(interfaceKey + "\\#odd\\name\\Control", "Linked"), "0");
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
    EXPECT_TRUE(small.data.empty());
    EXPECT_EQ(registry.QueryValue(handle, "Name", 13).result, platform::kSuccess);
    EXPECT_EQ(registry.QueryValue(handle, "name", 13).result, platform::kFileNotFound) << "names compare exactly";

    std::uint32_t subkeys = 9;
    std::uint32_t values = 9;
    EXPECT_EQ(registry.QueryInfoKey(handle, &subkeys, &values), platform::kSuccess);
    EXPECT_EQ(subkeys, 0u);
    EXPECT_EQ(values, 2u);

    const platform::RegEnumValue dword = registry.EnumValue(handle, 1, 16383, 4);
    EXPECT_EQ(dword.result, platform::kSuccess);
    EXPECT_EQ(dword.name, "LongerName");
    EXPECT_EQ(dword.value.type, platform::kRegDword);
    EXPECT_EQ(dword.value.data, (std::vector<std::uint8_t>{7, 0, 0, 0}));
    EXPECT_EQ(registry.EnumValue(handle, 1, 5, 4).result, platform::kMoreData) << "name longer than allowed";
    EXPECT_EQ(registry.EnumValue(handle, 2, 16383, 4).result, platform::kNoMoreItems);
    std::string name;
    EXPECT_EQ(registry.EnumKey(handle, 0, 255, &name), platform::kNoMoreItems);

    registry.CloseKey(handle);
    EXPECT_EQ(registry.QueryInfoKey(handle, &subkeys, &values), platform::kInvalidHandle);
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
    platform::RegKey again = 0;
    EXPECT_EQ(registry.OpenKey("K", platform::kKeyRead, &again), platform::kFileNotFound);
    registry.CloseKey(handle);
}

}  // namespace
}  // namespace linkscope::live
