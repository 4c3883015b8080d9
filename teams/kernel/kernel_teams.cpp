// The kernel collector: the system's own bonds and team devices as teams,
// their slaves as members, and VLAN interfaces as virtual adapters, from
// the platform's kernel links. Every record is named by its interface,
// which is how such a system identifies its adapters.
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/platform.h"
#include "teams/teams.h"

namespace linkscope {
namespace {

using platform::KernelLink;
using platform::SlaveState;

// Kernel teams are numbered 1000000 + n (n from 1, in the system's order),
// far above the vendor library's own small identifiers and the teaming
// provider's 400 + n.
constexpr std::uint32_t kTeamNumberBase = 1000000;
// A bond's type is 1001 + its bonding mode (balance-rr 1001, active-backup
// 1002, balance-xor 1003, broadcast 1004, 802.3ad 1005, balance-tlb 1006,
// balance-alb 1007); a team device, or a bond without a reported mode, is
// 1000.
constexpr std::uint32_t kTeamTypeUnknownMode = 1000;
constexpr std::uint32_t kTeamTypeBondBase = 1001;
// Member types that the membership associations interpret.
constexpr std::int32_t kMemberActive = 1;
constexpr std::int32_t kMemberBackup = 2;

bool IsTeamDevice(const KernelLink& link) { return link.kind == "bond" || link.kind == "team"; }

std::uint32_t TeamTypeOf(const KernelLink& link) {
    if (link.kind != "bond" || !link.bondMode) return kTeamTypeUnknownMode;
    return kTeamTypeBondBase + *link.bondMode;
}

// A slave without a reported state (a team device's port) is neither.
std::int32_t MemberTypeOf(SlaveState state) {
    switch (state) {
        case SlaveState::kActive: return kMemberActive;
        case SlaveState::kBackup: return kMemberBackup;
        case SlaveState::kUnknown: break;
    }
    return 0;
}

}  // namespace

// Teams first, with their own virtual adapters, then every slave of them,
// then every VLAN: a VLAN on a bond or team device belongs to its team, any
// other VLAN to none (team number 0). Bridges and their ports are no teams.
void Teams::CollectKernelTeams(AdaptersInfo& adapters) {
    const std::vector<KernelLink> links = platform::Current().KernelLinks();
    std::unordered_map<std::string, const TeamInfo*> byName;

    std::uint32_t counter = 1;
    for (const KernelLink& link : links) {
        if (!IsTeamDevice(link) || byName.count(link.name) != 0) continue;
        auto* info = new TeamInfo();
        info->SetTeamName(link.name);
        info->SetTeamID(kTeamNumberBase + counter++);
        info->SetTeamType(TeamTypeOf(link));
        teams_.push_back(info);
        byName.emplace(link.name, info);

        auto record = std::make_unique<VirtualNetworkAdapter>();
        record->SetName(link.name);
        record->SetDeviceID(link.name);
        record->SetInTeam(true);
        record->SetTeamID(static_cast<std::int32_t>(info->GetTeamID()));
        adapters.AddVirtualAdapter(record.release());
    }

    for (const KernelLink& link : links) {
        const auto team = link.master.empty() ? byName.end() : byName.find(link.master);
        if (team == byName.end()) continue;
        auto record = std::make_unique<PhysicalNetworkAdapter>();
        record->SetName(link.name);
        record->SetDeviceID(link.name);
        record->SetInTeam(true);
        record->SetTeamName(link.master);
        record->SetMemberTeamID(static_cast<std::int32_t>(team->second->GetTeamID()));
        record->SetMemberType(MemberTypeOf(link.slaveState));
        adapters.AddPhysicalAdapter(record.release());
    }

    for (const KernelLink& link : links) {
        if (link.kind != "vlan") continue;
        const auto team = link.parent.empty() ? byName.end() : byName.find(link.parent);
        auto record = std::make_unique<VirtualNetworkAdapter>();
        record->SetName(link.name);
        record->SetDeviceID(link.name);
        record->SetVlanName(link.name);
        record->SetVlanID(link.vlanId.value_or(0));
        if (team != byName.end()) {
            record->SetInTeam(true);
            record->SetTeamID(static_cast<std::int32_t>(team->second->GetTeamID()));
        }
        adapters.AddVirtualAdapter(record.release());
    }
}

}  // namespace linkscope
