// The Intel collector over the simulated teaming provider: failures and
// what stays, value kinds. Numbering and the values written on records are
// pinned end to end by the mixed-teams golden files.
#include <gtest/gtest.h>

#include "platform/sim/sim_wmi.h"
#include "support/team_machine.h"

namespace linkscope {
namespace {

// Collects the Intel teams of a machine whose "teamingProvider" is
// `provider` (JSON text; empty: no such section), which must leave COM as
// it found it.
testing::TeamCollection CollectIntel(const std::string& provider) {
    const std::string text = provider.empty() ? "{}" : "{\"teamingProvider\": " + provider + "}";
    testing::ScopedMachine installed(*sim::ParseMachine(text, "test"));
    testing::TeamCollection collected{std::make_unique<Teams>(), std::make_unique<AdaptersInfo>(), {}};
    collected.teams->CollectIntelTeams(*collected.adapters);
    collected.log = testing::LoggedAt(3);
    EXPECT_EQ(dynamic_cast<sim::SimWmi&>(platform::Current().Wmi()).ComDepth(), 0) << provider;
    return collected;
}

const char kTwoTeams[] = R"({"teams": [
  {"Caption": "Web", "TeamingMode": 2,
   "virtualAdapters": [{"Name": "Web VA", "Description": "Web Virtual", "MiniPortInstance": "{V1}",
                        "PermanentAddress": "a0369f000001",
                        "vlanServices": [{"vlans": [{"VLANName": "Front", "VLANNumber": 10},
                                                    {"VLANName": "Back", "VLANNumber": 20}]}]}],
   "members": [{"Name": "NIC one", "Description": "Gigabit", "DeviceID": "{M1}", "PermanentAddress": "A0369F000001",
                "AdapterStatus": 3, "HardwareStatus": 2, "Speed": "1000000000",
                "memberships": [{"AdapterFunction": 5, "AdapterStatus": 9}, {"AdapterFunction": 1, "AdapterStatus": 1}]},
               {"Name": "NIC two", "Description": "Gigabit", "DeviceID": "{M2}", "PermanentAddress": "A0369F000002",
                "AdapterStatus": 1, "HardwareStatus": 7, "Speed": 100000000,
                "memberships": [{"AdapterFunction": 2, "AdapterStatus": 2}]}]},
  {"Caption": "Storage", "TeamingMode": 0,
   "virtualAdapters": [{"Name": "Storage VA", "MiniPortInstance": "{V2}", "PermanentAddress": "A0369F000003"}],
   "members": [{"DeviceID": "{M3}", "HardwareStatus": 5, "memberships": []}]}]})";

// Each failure's message, and what was appended before it stays.
TEST(IntelTeams, FailuresAreLoggedAndWhatWasAppendedStays) {
    const auto edited = [](const std::string& from, const std::string& to) {
        std::string text = kTwoTeams;
        return text.replace(text.find(from), from.size(), to);
    };
    const struct {
        const char* name;
        std::string provider;
        std::vector<std::string> log;
        std::size_t teams, virtuals, members;
    } cases[] = {
        {"no provider", "", {"wmitools: ConnectServer failed: (0x8004100e), Invalid namespace "}, 0, 0, 0},
        {"no locator", R"({"locator": false})", {"Error reading from WMI, no teams collected"}, 0, 0, 0},
        {"refused", R"({"connectResult": "0x80041003", "statusText": "Access denied "})",
         {"wmitools: ConnectServer failed: (0x80041003), Access denied "}, 0, 0, 0},
        {"no status text", R"({"connectResult": 2147749891, "statusText": null})",
         {"wmitools: ConnectServer failed: (0x80041003), (no status text)"}, 0, 0, 0},
        {"teams", R"({"teamQueryResult": "0x80041001"})", {"Query for teams failed"}, 0, 0, 0},
        {"virtual adapters", edited(R"("Caption": "Storage",)", R"("Caption": "Storage", "virtualAdapterQueryResult": "0x80041001",)"),
         {"Query for virtual adapters failed"}, 2, 1, 2},
        {"members", edited(R"("Caption": "Web",)", R"("Caption": "Web", "memberQueryResult": "0x80041001",)"),
         {"Query for physical team members failed"}, 1, 1, 0},
        {"membership", edited(R"("DeviceID": "{M2}",)", R"("DeviceID": "{M2}", "membershipQueryResult": "0x80041001",)"),
         {"Query for status information failed"}, 1, 1, 1},
        {"vlan services", edited(R"("MiniPortInstance": "{V1}",)", R"("MiniPortInstance": "{V1}", "vlanServiceQueryResult": "0x80041001",)"),
         {"ASSOCIATORS OF {root\\IntelNCS:TeamVirtualAdapter.Id=\"1.1\"} WHERE ResultClass = IANeT_802dot1QVLANService"},
         2, 2, 3},
        {"vlans", edited(R"("vlanServices": [{"vlans")", R"("vlanServices": [{"vlanQueryResult": "0x80041001"}, {"vlans")"),
         {"ASSOCIATORS OF {root\\IntelNCS:IANeT_802dot1QVLANService.Id=\"1.1.1\"} WHERE ResultClass = IANeT_VLAN"},
         2, 2, 3},
    };
    for (const auto& c : cases) {
        const auto run = CollectIntel(c.provider);
        EXPECT_EQ(run.log, c.log) << c.name;
        EXPECT_EQ(run.teams->GetTeams().size(), c.teams) << c.name;
        EXPECT_EQ(run.adapters->GetVirtualAdapters().size(), c.virtuals) << c.name;
        EXPECT_EQ(run.adapters->GetPhysicalAdapters().size(), c.members) << c.name;
    }
    // The second VLAN service still names the adapter when the first fails.
    const auto vlans = CollectIntel(cases[9].provider);
    EXPECT_EQ(vlans.adapters->GetVirtualAdapters()[0]->GetVlanName(), "Back");
}

// Values of kinds the collector does not expect, and hostile texts.
TEST(IntelTeams, PropertyKindsAndHostileValues) {
    const std::string longText(5000, 'x');
    const struct {
        const char* member;  // the member's properties
        const char* expected;
    } rows[] = {
        {R"("Speed": "10000000000")", "speed 10000000000"},
        {R"("Speed": "99999999999999999999999")", "speed 0"},
        {R"("Speed": "fast")", "speed 0"},
        {R"("Speed": " 100 Mbps")", "speed 100"},
        {R"("Speed": -1)", "speed 4294967295"},
        {R"("Speed": {"otherInteger": 10000000000})", "speed 1410065408"},
        {R"("Speed": true)", "speed 0"},
        {R"("HardwareStatus": "1")", "state 0"},
        {R"("HardwareStatus": {"otherInteger": 1})", "state 2"},
        {R"("AdapterStatus": 4294967298)", "driver 1"},
        {R"("DeviceID": null)", "name "},
        {R"("DeviceID": 7)", "name "},
        {R"("DeviceID": "ab\u0000cd")", "name ab"},
    };
    for (const auto& row : rows) {
        const auto run = CollectIntel(std::string(R"({"teams": [{"Caption": "T", "members": [{)") + row.member +
                                          R"(, "memberships": []}]}]})");
        const PhysicalNetworkAdapter& member = *run.adapters->GetPhysicalAdapters().at(0);
        const std::string text = "speed " + std::to_string(member.GetSpeed()) + " state " +
                                 std::to_string(member.GetEnabledState()) + " driver " +
                                 std::to_string(member.GetDriverLoaded()) + " name " + member.GetName();
        EXPECT_NE(text.find(row.expected), std::string::npos) << row.member << " gave " << text;
    }
    const auto run = CollectIntel(R"({"teams": [{"Caption": ")" + longText + R"(", "TeamingMode": "2"}]})");
    EXPECT_EQ(run.teams->GetTeams().at(0)->GetTeamName(), std::string(1023, 'x'));
    EXPECT_EQ(run.teams->GetTeams().at(0)->GetTeamType(), 401u);
}

}  // namespace
}  // namespace linkscope
