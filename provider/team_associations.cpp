// Team membership associations: a team's networking group to its members'
// spare groups and to its virtual ports, and a member's spare group to its
// physical port, as a redundancy component (member type 1) or as a spare
// (member type 2). The ends are not rebuilt: they are enumerated through
// the host, which asks the providers of those classes (this one among
// them), so the answer does not depend on what was queried before. Each
// end is the first instance enumerated with the adapter's key; an adapter
// without both ends yields nothing.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "provider/class_names.h"
#include "provider/instance_builder.h"
#include "provider/instance_index.h"
#include "provider/sections.h"
#include "provider/team_number.h"

namespace linkscope::provider {
namespace {

using NQRXKVL20::ICIMInstance;
using NQRXKVL20::TCIMPropertyMap;
using P = PhysicalNetworkAdapter;
using V = VirtualNetworkAdapter;

// A port is a member of this type when its "MemberType" reads so as an
// unsigned number. A port without one (an adapter in no team that shares
// a member's device name) is none.
template <unsigned int kMemberType>
bool IsMemberOfType(ICIMInstance& port) {
    const auto memberType = port.GetProperty("MemberType", TCIMPropertyMap());
    return memberType && static_cast<unsigned int>(memberType->GetValue(TCIMPropertyMap())) == kMemberType;
}

// One end of a link: the class enumerated and the property its instances
// are found by.
struct End {
    const char* className;
    const char* keyProperty;
    InstanceIndex::Admit admit = nullptr;  // null: any instance with the key
};

enum class EnumeratedFirst { kGroup, kPart };

template <class Adapter>
struct Membership {
    // The two references, set in this order: the group's, then the part's.
    const char* groupRole;
    const char* partRole;
    End group;
    End part;
    EnumeratedFirst enumeratedFirst;
    // The adapter's key for each end. The part is looked for first.
    std::string (*groupKey)(const Adapter&);
    std::string (*partKey)(const Adapter&);
    bool (*walks)(const Adapter&);  // null: every adapter of the list
};

struct Ends {
    const TCIMValue* group;
    const TCIMValue* part;
};

template <class Adapter>
std::string DeviceIdOf(const Adapter& a) {
    return a.GetDeviceID();
}
std::string AddressOf(const P& a) { return a.GetPermanentAddress(); }
std::string MemberTeamOf(const P& a) { return TeamNumberText(a.GetMemberTeamID()); }
std::string TeamOf(const V& a) { return TeamNumberText(a.GetTeamID()); }
bool InTeam(const P& a) { return a.GetInTeam(); }

const End kNetworkingGroup{kNetworkingGroupClass, "TeamID"};
const End kSpareGroup{kSpareGroupClass, "Name"};

const Membership<P> kRedundancyGroupComponent{
    "GroupComponent", "PartComponent",
    kNetworkingGroup, kSpareGroup,
    EnumeratedFirst::kGroup, MemberTeamOf, AddressOf, InTeam};
const Membership<P> kRedundancyComponent{
    "GroupComponent", "PartComponent",
    kSpareGroup, End{kPhysicalPortClass, "DeviceID", IsMemberOfType<1>},
    EnumeratedFirst::kPart, AddressOf, DeviceIdOf<P>, InTeam};
const Membership<P> kActsAsSpare{
    "Group", "Spare",
    kSpareGroup, End{kPhysicalPortClass, "DeviceID", IsMemberOfType<2>},
    EnumeratedFirst::kPart, AddressOf, DeviceIdOf<P>, InTeam};
const Membership<V> kNetworkingPortComponent{
    "GroupComponent", "PartComponent",
    kNetworkingGroup, End{kVirtualPortClass, "DeviceID"},
    EnumeratedFirst::kPart, TeamOf, DeviceIdOf<V>, nullptr};

InstanceIndex IndexOf(const QueryContext& query, const End& end) {
    return InstanceIndex(query, end.className, end.keyProperty, end.admit);
}

// Whether any adapter of the list is walked. When none is, nothing can be
// linked: the ends' classes are looked up, in enumeration order and failing
// as the enumeration would, but their instances are not built.
template <class Adapter>
bool WalksAny(QueryContext& query, const Membership<Adapter>& membership, const std::vector<Adapter*>& adapters) {
    const auto walked = [&](const Adapter* adapter) { return !membership.walks || membership.walks(*adapter); };
    if (std::any_of(adapters.begin(), adapters.end(), walked)) return true;
    const bool groupFirst = membership.enumeratedFirst == EnumeratedFirst::kGroup;
    for (const End* end : {groupFirst ? &membership.group : &membership.part,
                           groupFirst ? &membership.part : &membership.group}) {
        query.ns->GetClass(end->className, query.lookupContext);
    }
    return false;
}

template <class Adapter>
void Link(QueryContext& query, const Membership<Adapter>& membership, const std::vector<Adapter*>& adapters) {
    if (!WalksAny(query, membership, adapters)) return;
    std::optional<InstanceIndex> groups;
    if (membership.enumeratedFirst == EnumeratedFirst::kGroup) groups.emplace(IndexOf(query, membership.group));
    InstanceIndex parts = IndexOf(query, membership.part);
    if (!groups) groups.emplace(IndexOf(query, membership.group));

    const PropertyRow<Ends> rows[] = {
        {membership.groupRole, [](const Ends& ends) { return *ends.group; }},
        {membership.partRole, [](const Ends& ends) { return *ends.part; }},
    };
    for (const Adapter* adapter : adapters) {
        if (membership.walks && !membership.walks(*adapter)) continue;
        const TCIMValue* part = parts.FindPath(membership.partKey(*adapter));
        if (part == nullptr) continue;
        const TCIMValue* group = groups->FindPath(membership.groupKey(*adapter));
        if (group == nullptr) continue;
        BuildInstance(query, Ends{group, part}, rows);
    }
}

}  // namespace

void ServeRedundancyGroupComponents(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    Link(query, kRedundancyGroupComponent, query.data.adapters->GetPhysicalAdapters());
}

void ServeRedundancyComponents(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    Link(query, kRedundancyComponent, query.data.adapters->GetPhysicalAdapters());
}

void ServeActsAsSpare(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    Link(query, kActsAsSpare, query.data.adapters->GetPhysicalAdapters());
}

void ServeNetworkingPortComponents(QueryContext& query) {
    if (query.data.adapters == nullptr) return;
    Link(query, kNetworkingPortComponent, query.data.adapters->GetVirtualAdapters());
}

}  // namespace linkscope::provider
