// Binding operating-system adapters to the records team collectors made.
#include <algorithm>
#include <random>

#include <gtest/gtest.h>

#include "collect/adapter_finder.h"
#include "collect/adapters_info.h"
#include "collect/pattern_set.h"
#include "support/sim_machine.h"

namespace linkscope {
namespace {

using platform::AdapterIdentity;
using testing::ScopedMachine;

class FindAdapterTest : public ::testing::Test {
protected:
    PhysicalNetworkAdapter* AddPhysical(const std::string& deviceId, const std::string& mac, bool inTeam) {
        auto* record = new PhysicalNetworkAdapter();
        record->SetDeviceID(deviceId);
        record->SetMacAddress(mac);
        record->SetInTeam(inTeam);
        adapters_->AddPhysicalAdapter(record);
        return record;
    }
    VirtualNetworkAdapter* AddVirtual(const std::string& deviceId, const std::string& mac,
                                      const std::string& description, const std::string& vendorName) {
        auto* record = new VirtualNetworkAdapter();
        record->SetDeviceID(deviceId);
        record->SetMacAddress(mac);
        record->SetDescription(description);
        record->SetVendorName(vendorName);
        adapters_->AddVirtualAdapter(record);
        return record;
    }
    // Both ways of finding must agree on every question.
    NetworkAdapter* Find(const std::string& mac, const std::string& deviceName, const std::string& description,
                         AdapterIdentity identity = AdapterIdentity::kHardwareAddress) {
        NetworkAdapter* plain = adapters_->FindAdapter(mac, deviceName, description, identity);
        EXPECT_EQ(AdapterFinder(*adapters_, identity, {description}).Find(mac, deviceName, description), plain);
        return plain;
    }

    ScopedMachine machine_{sim::Machine{}};
    std::unique_ptr<AdaptersInfo> adapters_ = std::make_unique<AdaptersInfo>();
};

TEST_F(FindAdapterTest, VirtualRecordByDeviceNameOrByAddressAndContainedDescription) {
    VirtualNetworkAdapter* named = AddVirtual("\\DEVICE\\TCPIP_{T}", "CC", "Team 1", "");
    AddVirtual("", "CC", "Team 1 VLAN 10", "");
    VirtualNetworkAdapter* second = AddVirtual("", "CC", "Team 1 VLAN 20", "");
    VirtualNetworkAdapter* vendor = AddVirtual("", "CC", "", "BASP Virtual Adapter");
    EXPECT_EQ(Find("ZZ", "\\DEVICE\\TCPIP_{T}", "anything"), named);
    EXPECT_EQ(Find("CC", "\\DEVICE\\TCPIP_{X}", "VLAN 20"), second);
    EXPECT_EQ(Find("CC", "\\DEVICE\\TCPIP_{X}", "vlan 20"), nullptr) << "comparisons are case-sensitive";
    EXPECT_EQ(Find("CC", "\\DEVICE\\TCPIP_{X}", "VLAN 30"), nullptr);
    EXPECT_EQ(Find("CC", "\\DEVICE\\TCPIP_{X}", "Virtual"), vendor) << "no description: the vendor name";
}

TEST_F(FindAdapterTest, ByDeviceNameOnlyTheNameBindsTeamMembersToo) {
    PhysicalNetworkAdapter* member = AddPhysical("eth0", "AA", true);
    AddPhysical("", "AA", false);
    VirtualNetworkAdapter* bond = AddVirtual("bond0", "AA", "Team", "");
    AddVirtual("", "AA", "Team", "");
    const AdapterIdentity byName = AdapterIdentity::kDeviceName;
    EXPECT_EQ(Find("AA", "eth0", "Team", byName), member) << "a member reported by the system is itself";
    EXPECT_EQ(Find("BB", "bond0", "", byName), bond);
    EXPECT_EQ(Find("AA", "br0", "Team", byName), nullptr) << "a shared address binds nothing";
    EXPECT_EQ(Find("AA", "", "", byName), nullptr) << "no name, no record, though one has none";
}

// A record showing its vendor name keeps that text when it is bound
// again without a description, but not its address.
TEST_F(FindAdapterTest, RecordBoundWithoutDescriptionIsFoundUnderItsNewAddress) {
    VirtualNetworkAdapter* record = AddVirtual("r", "A", "", "Team VLAN");
    AdapterFinder finder(*adapters_, AdapterIdentity::kHardwareAddress, {"VLAN"});
    ASSERT_EQ(finder.Find("B", "r", ""), record);
    record->SetMacAddress("B");
    finder.KeysChanged(record);
    EXPECT_EQ(finder.Find("A", "s", "VLAN"), nullptr);
    EXPECT_EQ(finder.Find("B", "s", "VLAN"), record);
}

// One finder follows the records as enumeration binds them. It is given
// every piece of "Team VLAN" and asked with any of them; "x" is not among
// them, so it walks the records for it.
TEST_F(FindAdapterTest, IndexAgreesWithTheListWalkAsRecordsAreBoundAndAppended) {
    std::mt19937 random(7);
    const std::vector<std::string> keys = {"", "A", "B", "C"};
    const std::vector<std::string> descriptions = {"", "Team", "Team VLAN", "Other"};
    const std::string broad = "Team VLAN";
    std::vector<std::string_view> given;
    for (std::size_t at = 0; at < broad.size(); ++at) {
        for (std::size_t length = 1; at + length <= broad.size(); ++length) given.push_back({&broad[at], length});
    }
    auto pick = [&](const std::vector<std::string>& from) { return from[random() % from.size()]; };
    for (int round = 0; round < 200; ++round) {
        adapters_ = std::make_unique<AdaptersInfo>();
        for (int i = 0; i < 6; ++i) {
            if (random() % 2) {
                AddPhysical(pick(keys), pick(keys), random() % 3 == 0);
            } else {
                AddVirtual(pick(keys), pick(keys), pick(descriptions), pick(descriptions));
            }
        }
        const auto identity = random() % 2 ? AdapterIdentity::kDeviceName : AdapterIdentity::kHardwareAddress;
        AdapterFinder finder(*adapters_, identity, given);
        for (int query = 0; query < 10; ++query) {
            const std::string mac = pick(keys), name = pick(keys);
            const std::string description =
                random() % 3 ? std::string(given[random() % given.size()]) : pick({"", "", "x"});
            NetworkAdapter* found = adapters_->FindAdapter(mac, name, description, identity);
            ASSERT_EQ(finder.Find(mac, name, description), found);
            if (found != nullptr) {
                found->SetDeviceID(name);
                found->SetMacAddress(mac);
                found->SetDescription(description);
                finder.KeysChanged(found);
            } else if (random() % 2) {
                finder.PhysicalAppended(AddPhysical(name, mac, false));
            }
        }
    }
}

// The few ids a text is reduced to must stand for exactly the patterns it
// contains: random texts and pattern sets over two letters, where patterns
// end with one another in many ways.
TEST(PatternSetTest, LongestPatternsEndingInATextStandForEveryPatternItContains) {
    std::mt19937 random(11);
    auto word = [&](std::size_t most) {
        std::string text(1 + random() % most, 'a');
        for (char& c : text) c = "ab"[random() % 2];
        return text;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::string> patterns(1 + random() % 12);
        for (std::string& pattern : patterns) pattern = word(5);
        const PatternSet set(std::vector<std::string_view>(patterns.begin(), patterns.end()));
        const std::string text = word(12);
        const std::vector<std::uint32_t> ids = set.LongestEndingIn(text);
        for (const std::string& pattern : patterns) {
            const std::uint32_t id = set.IdOf(pattern);
            const bool stood = std::any_of(ids.begin(), ids.end(),
                                           [&](std::uint32_t at) { return id <= at && at < set.EndOf(id); });
            ASSERT_EQ(stood, text.find(pattern) != std::string::npos) << pattern << " in " << text;
        }
    }
}

}  // namespace
}  // namespace linkscope
