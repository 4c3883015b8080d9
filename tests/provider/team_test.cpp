// The four membership associations, over teams collected from a simulated
// NIC management library and served through the stand-in host, so that the
// associations enumerate their ends as in the product. Each link is shown
// as the labels of its two ends, in the order the two references are set.
// The group instances and their paths, answers that do not depend on what
// was queried before, and the exclusion switch are pinned end to end by the
// machine inventory test and its golden files.
#include <gtest/gtest.h>

#include <map>

#include "provider/hub_fixture.h"
#include "support/team_machine.h"

namespace linkscope::testing {
namespace {

sim::NicTeam Team(const std::string& name, std::uint32_t id) {
    sim::NicTeam team;
    team.name = name;
    team.id = id;
    return team;
}

// A member of team `teamId` with the library's member-type code `code`
// (its MemberType is code + 1) and hardware address 00:00:00:00:00:NN.
sim::NicAdapter Member(std::uint32_t handle, std::uint32_t teamId, std::uint32_t code, const std::string& nn) {
    return NicAdapter(handle, [&](sim::NicAdapter& a) {
        a.currentMac = a.permanentMac = "0000000000" + nn;
        a.teamId = teamId;
        a.teamName = "T" + std::to_string(teamId);
        a.memberType = code;
    });
}

// A team virtual adapter whose record names team `teamId`.
sim::NicTeamVirtualAdapter VirtualAdapter(std::uint32_t handle, std::uint32_t teamId) {
    sim::NicTeamVirtualAdapter adapter;
    adapter.handle = handle;
    adapter.teamId = teamId;
    return adapter;
}

class TeamLinks : public HubFixture {
protected:
    // Collects `library` and serves what it gave; device names become the
    // labels given, in list order (members, then virtual adapters).
    void Serve(const sim::NicLibrary& library, const Texts& physicalNames, const Texts& virtualNames) {
        collected_ = CollectTeams(library);
        const auto physical = collected_.adapters->GetPhysicalAdapters();
        const auto virtuals = collected_.adapters->GetVirtualAdapters();
        for (size_t i = 0; i < physicalNames.size() && i < physical.size(); ++i) physical[i]->SetDeviceID(physicalNames[i]);
        for (size_t i = 0; i < virtualNames.size() && i < virtuals.size(); ++i) virtuals[i]->SetDeviceID(virtualNames[i]);
        plugin_.data = provider::CollectedData{nullptr, collected_.adapters.get(), collected_.teams.get()};
    }

    // Each link of `association` as "GROUP > PART", every end named by its
    // label: a networking group by its team name, a spare group by the
    // last pair of its address, a port by its device name. The two
    // references must be `roles`, in this order.
    Texts Links(const std::string& association, const Texts& roles) {
        std::map<std::string, std::string> labels;
        for (const auto& group : Query({"QRXSG_VirtualNetworkingGroup"})) {
            labels[group->Path()] = group->GetProperty("TeamName", {})->GetValue({}).ToString();
        }
        for (const auto& spare : Query({"QRXSG_SpareGroup"})) {
            labels[spare->Path()] = "spare " + spare->GetProperty("Name", {})->GetValue({}).ToString().substr(15);
        }
        for (const auto& port : Query({"QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort"})) {
            labels[port->Path()] = port->GetProperty("DeviceID", {})->GetValue({}).ToString();
        }
        Texts links;
        for (const auto& link : Query({association})) {
            Texts names;
            Texts ends;
            for (const auto& [name, value] : link->Properties()) {
                names.push_back(*name);
                ends.push_back(labels.count(value.ToString()) ? labels[value.ToString()] : value.ToString());
            }
            EXPECT_EQ(names, roles);
            if (ends.size() == 2) links.push_back(ends[0] + " > " + ends[1]);
        }
        return links;
    }

    TeamCollection collected_;
};

TEST_F(TeamLinks, EachLinkJoinsTheFirstEndsEnumeratedWithTheAdaptersKeys) {
    sim::NicLibrary library = LibraryOf({
        Member(1, 7, 0, "01"),  // member type 1
        Member(2, 7, 1, "02"),  // 2
        Member(3, 7, 2, "03"),  // 3: neither a component nor a spare
        Member(4, 9, 0, "04"),  // of a team not listed; named as m2, so m2 and m4 each find both ports
        Member(5, 8, 1, "05"),  // its device name has no port
        Member(6, 8, 0, "01"),  // shares m1's address, so m1's spare group
        NicAdapter(7),          // in no team
    });
    library.teams = {Team("Team-A", 7), Team("Team-B", 7), Team("Team-C", 8)};
    library.teams[0].virtualAdapters = {VirtualAdapter(1001, 7)};
    library.teams[1].virtualAdapters = {VirtualAdapter(1002, 7)};  // linked to Team-A, the first team numbered 7
    library.teams[2].virtualAdapters = {VirtualAdapter(1003, 8), VirtualAdapter(1004, 9)};  // 9: not listed
    Serve(library, {"m1", "m2", "m3", "m2", "sit5", "m6", "s7"}, {"v1", "v2", "v3", "v4"});

    const Texts component = {"GroupComponent", "PartComponent"};
    const struct {
        const char* association;
        Texts roles;
        Texts links;
    } kCases[] = {
        {"QRXSG_VirtualNetworkingRedundancyGroupComponent", component,
         {"Team-A > spare 01", "Team-A > spare 02", "Team-A > spare 03", "Team-C > spare 05", "Team-C > spare 01"}},
        {"QRXSG_RedundancyComponent", component, {"spare 01 > m1", "spare 02 > m2", "spare 04 > m2", "spare 01 > m6"}},
        {"QRXSG_ActsAsSpare", {"Group", "Spare"}, {"spare 02 > m2", "spare 04 > m2"}},
        {"QRXSG_VirtualNetworkingPortComponent", component, {"Team-A > v1", "Team-A > v2", "Team-C > v3"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.association);
        EXPECT_EQ(Links(c.association, c.roles), c.links);
    }
}

}  // namespace
}  // namespace linkscope::testing
