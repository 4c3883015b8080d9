// Speed and duplex from the driver's registry settings, and disabled
// adapters found through the device registry.
#include <gtest/gtest.h>

#include "collect/adapters_info.h"
#include "collect/device_scanner.h"
#include "collect/speed_duplex.h"
#include "support/record_text.h"
#include "support/sim_machine.h"

namespace linkscope {
namespace {

using testing::LoggedAt;
using testing::ScopedMachine;

using Choices = std::vector<std::pair<std::string, std::string>>;

sim::Adapter NicWithDevice(std::uint32_t index, sim::NetworkDevice device) {
    sim::Adapter adapter;
    adapter.guid = "{NIC-" + std::to_string(index) + "}";
    adapter.description = "NIC " + std::to_string(index);
    adapter.mac = {0x02, static_cast<std::uint8_t>(index)};
    adapter.index = index;
    adapter.device = std::move(device);
    return adapter;
}

using Setting = sim::DriverSetting;

TEST(SpeedDuplex, TextComesFromTheDriversEnumerationOrFallsBackToUnknown) {
    struct Case {
        const char* name;
        std::optional<Setting> speedDuplex;
        std::optional<Setting> requestedMediaType;
        const char* expected;
    };
    const Choices choices = {{"0", "Auto Negotiation"}, {"4", "100Mbps Full"}, {"6", "1000Mbps Full"}};
    const Case cases[] = {
        {"text a team collector set", Setting{"6", choices}, std::nullopt, "AUTO"},
        {"code zero", Setting{"0", choices}, std::nullopt, "Auto Negotiation"},
        {"listed code", Setting{"6", choices}, std::nullopt, "1000Mbps Full"},
        {"media type only", std::nullopt, Setting{"4", choices}, "100Mbps Full"},
        {"speed setting first", Setting{"6", choices}, Setting{"4", choices}, "1000Mbps Full"},
        {"code missing from enumeration", Setting{"9", choices}, std::nullopt, "Unknown"},
        {"no enumeration key", Setting{"4", std::nullopt}, std::nullopt, ""},
        {"empty enumeration key", Setting{"4", Choices{}}, std::nullopt, ""},
        {"no setting", std::nullopt, std::nullopt, "Unknown"},
    };
    sim::Machine machine;
    std::uint32_t index = 1;
    for (const Case& c : cases) {
        sim::NetworkDevice device;
        device.speedDuplex = c.speedDuplex;
        device.requestedMediaType = c.requestedMediaType;
        machine.adapters.push_back(NicWithDevice(index++, device));
    }
    machine.adapters.push_back(NicWithDevice(index, sim::NetworkDevice{}));
    machine.adapters.back().device.reset();
    ScopedMachine installed(machine);

    AdaptersInfo adapters;
    auto* teamRecord = new PhysicalNetworkAdapter();  // bound to the first adapter by its address
    teamRecord->SetMacAddress("0201");
    teamRecord->SetSpeedDuplex("AUTO");
    adapters.AddPhysicalAdapter(teamRecord);
    adapters.Collect();
    const auto records = adapters.GetPhysicalAdapters();
    ASSERT_EQ(records.size(), std::size(cases) + 1);
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(records[i]->GetSpeedDuplex(), cases[i].expected) << cases[i].name;
    }
    EXPECT_EQ(records.back()->GetSpeedDuplex(), "") << "an adapter without a device gets no text";
}

// Only a device of the network class, by name and GUID, with a driver key
// is read: the others stand for no adapter, whose text then stays empty.
TEST(SpeedDuplex, OnlyNetworkClassDevicesAreRead) {
    const struct {
        const char* className;
        const char* classGuid;
        bool driverKey;
        const char* expected;
    } cases[] = {
        {platform::kNetClassName, platform::kNetClassGuid, true, "Unknown"},
        {platform::kNetClassName, "{4D36E968-E325-11CE-BFC1-08002BE10318}", true, ""},
        {"Display", platform::kNetClassGuid, true, ""},
        {platform::kNetClassName, platform::kNetClassGuid, false, ""},
    };
    sim::Machine machine;
    std::uint32_t index = 1;
    for (const auto& c : cases) {
        sim::Adapter adapter = NicWithDevice(index, sim::NetworkDevice{});
        adapter.device.reset();
        const std::string driverKey = "{4D36E972-E325-11CE-BFC1-08002BE10318}\\01" + std::to_string(10 + index++);
        machine.devices.push_back({c.className, c.classGuid, c.driverKey ? std::optional(driverKey) : std::nullopt});
        std::vector<std::uint8_t> id(adapter.guid.begin(), adapter.guid.end());
        id.push_back(0);
        machine.registry.push_back({std::string(platform::kClassRoot) + "\\" + driverKey,
                                    {{"NetCfgInstanceId", platform::kRegSz, id}}});
        machine.adapters.push_back(adapter);
    }
    ScopedMachine installed(machine);
    AdaptersInfo adapters;
    adapters.Collect();
    const auto records = adapters.GetPhysicalAdapters();
    ASSERT_EQ(records.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(records[i]->GetSpeedDuplex(), cases[i].expected) << cases[i].className << " " << cases[i].classGuid;
    }
}

TEST(SpeedDuplex, BroadcomCodesOutsideTheTableOrInItsGapsHaveNoText) {
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0, "AUTO"}, {1, ""}, {3, "10Mbps Half"}, {9, ""}, {21, "10Gbps Full"}, {22, ""}, {0xFFFFFFFFu, ""},
    };
    for (const auto& [code, text] : cases) EXPECT_EQ(BroadcomSpeedDuplexText(code), text) << code;
}

// A machine with nothing but one disabled adapter, {OFF}.
sim::Machine OneDisabled() {
    sim::Machine machine;
    machine.disabledAdapters = {sim::DisabledAdapter{}};
    machine.disabledAdapters[0].guid = "{OFF}";
    return machine;
}

// A record named after the device stands for it: the device is not
// searched at all. Otherwise a record with the device name is marked
// disabled; without one, a record is added, one for all the device's
// interface classes. An interface whose state cannot be read counts as
// linked.
TEST(DisabledAdapters, ARecordNamedAfterTheDeviceKeepsItOutOfTheSearch) {
    const struct {
        const char* name;
        const char* deviceId;
        std::int32_t state;
        std::size_t records;
        bool controlUnreadable = false;
        std::uint32_t interfaceClasses = 1;
    } cases[] = {
        {"{SOMETHING ELSE}", "\\DEVICE\\TCPIP_{OFF}", 3, 1},
        {"{OFF}", "\\DEVICE\\TCPIP_{OFF}", 2, 1},
        {"{OFF}", "eth0", 2, 1},
        {"{SOMETHING ELSE}", "eth0", 2, 2},
        {"{SOMETHING ELSE}", "eth0", 2, 2, false, 3},
        {"{SOMETHING ELSE}", "eth0", 2, 1, true},
    };
    for (const auto& c : cases) {
        sim::Machine machine = OneDisabled();
        machine.disabledAdapters[0].device.interfaceClasses = c.interfaceClasses;
        if (c.controlUnreadable) {
            const std::string interfaceClass = "{cad88bc9-7340-4a3d-bb14-b1e2b1b4e8a3}";
            machine.registry.push_back({"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\" + interfaceClass +
                                            "\\##?#ROOT#NET#0000#" + interfaceClass + "\\#{OFF}\\Control",
                                        {}, 2});
        }
        ScopedMachine installed(machine);
        AdaptersInfo adapters;
        auto* record = new PhysicalNetworkAdapter();
        record->SetName(c.name);
        record->SetDeviceID(c.deviceId);
        record->SetEnabledState(2);
        adapters.AddPhysicalAdapter(record);
        NetworkAdapter temporary;
        ScanNetworkDevices(adapters, temporary, ScanMode::kAddMissing);
        EXPECT_EQ(adapters.GetPhysicalAdapters().size(), c.records) << c.name << " " << c.deviceId << " " << c.controlUnreadable;
        EXPECT_EQ(record->GetEnabledState(), c.state) << c.name << " " << c.deviceId << " " << c.controlUnreadable;
    }
    ScopedMachine installed(OneDisabled());
    AdaptersInfo adapters;
    NetworkAdapter temporary;
    EXPECT_FALSE(SearchDeviceClasses(adapters, temporary, "{X}", "SYSTEM\\Nowhere", "SYSTEM\\Nowhere", 0))
        << "a start key that cannot be opened";
}

TEST(DisabledAdapters, AnUnavailableDeviceListIsLoggedAndAddsNothing) {
    sim::Machine machine = OneDisabled();
    machine.results.presentDevices = false;
    ScopedMachine installed(machine);
    AdaptersInfo adapters;
    adapters.Collect();
    EXPECT_TRUE(adapters.GetPhysicalAdapters().empty());
    EXPECT_EQ(LoggedAt(3), std::vector<std::string>{"INVALID_HANDLE_VALUE"});
}

}  // namespace
}  // namespace linkscope
