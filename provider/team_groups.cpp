// Team groups: one networking group per collected team and one spare group
// per physical adapter in a team. The membership associations find them
// again through the host by "TeamID" and "Name", so those values are the
// join keys of the team number and the member's hardware address.
#include "provider/class_names.h"
#include "provider/instance_builder.h"
#include "provider/sections.h"
#include "provider/team_number.h"

namespace linkscope::provider {
namespace {

using P = PhysicalNetworkAdapter;

TCIMValue TeamIdText(const TeamInfo& team) { return Text(TeamNumberText(team.GetTeamID())); }

// The host's class has no key properties; these three are all it carries.
const PropertyRow<TeamInfo> kNetworkingGroupProperties[] = {
    {"TeamName", Field<TeamInfo>::Text<&TeamInfo::GetTeamName>},
    {"TeamType", Field<TeamInfo>::UInt32<&TeamInfo::GetTeamType>},
    {"TeamID", TeamIdText},
};

const PropertyRow<P> kSpareGroupProperties[] = {
    {"Name", Field<P>::Text<&P::GetPermanentAddress>},
    {"CreationClassname", Field<P>::Constant<kSpareGroupClass>},
};

}  // namespace

// Every team, in collection order, also one whose number repeats another's.
void ServeNetworkingGroups(QueryContext& query) {
    if (query.data.teams == nullptr) return;
    for (const TeamInfo* team : query.data.teams->GetTeams()) {
        BuildInstance(query, *team, kNetworkingGroupProperties);
    }
}

// Virtual adapters carry the team flag too but are no spare group.
void ServeSpareGroups(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    for (const P* adapter : query.data.adapters->GetPhysicalAdapters()) {
        if (adapter->GetInTeam()) BuildInstance(query, *adapter, kSpareGroupProperties);
    }
}

}  // namespace linkscope::provider
