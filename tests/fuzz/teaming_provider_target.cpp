#include <algorithm>

#include "fuzz_input.h"
#include "inventory.h"
#include "targets.h"

namespace linkscope::fuzz {
namespace {

using platform::WmiResult;
using platform::WmiValue;

// The properties the collector reads, and the path the associations follow.
const std::vector<std::string> kPropertyNames = {
    "__PATH",     "Name",          "Caption",        "Description",     "DeviceID",    "TeamingMode",
    "Speed",      "AdapterStatus", "HardwareStatus", "PermanentAddress", "VLANNumber", "VLANName",
    "AdapterFunction", "MiniPortInstance"};

WmiResult Result(FuzzInput& in) {
    static const WmiResult kResults[] = {platform::kWmiOk, platform::kWmiFailed, platform::kWmiNotFound,
                                         platform::kWmiInvalidNamespace, 1};
    return in.UsualOrAny(kResults);
}

WmiValue Value(FuzzInput& in) {
    WmiValue value;
    value.kind = static_cast<WmiValue::Kind>(in.Below(5));
    // Texts up to past the longest text WMI hands over.
    if (value.kind == WmiValue::Kind::kText) value.text = in.Text(platform::kWmiMaxText + 8);
    if (value.kind == WmiValue::Kind::kInt32) value.integer = in.Number<std::int32_t>();
    if (value.kind == WmiValue::Kind::kOtherInteger) value.integer = in.Number<std::int64_t>();
    return value;
}

void SetProperty(FuzzInput& in, sim::WmiProperties& properties) {
    const std::string name = in.TextOr(kPropertyNames, 16);
    WmiValue value = Value(in);
    const auto same = std::find_if(properties.begin(), properties.end(),
                                   [&name](const auto& property) { return property.first == name; });
    if (same == properties.end()) {
        properties.emplace_back(name, std::move(value));
    } else {
        same->second = std::move(value);
    }
}

// Every object and every query result of the provider, for a change to
// pick one.
struct Parts {
    std::vector<sim::WmiProperties*> objects;
    std::vector<WmiResult*> results;
};

Parts PartsOf(sim::TeamingProvider& provider) {
    Parts parts;
    parts.results.push_back(&provider.teamQueryResult);
    for (sim::WmiTeam& team : provider.teams) {
        parts.objects.push_back(&team.properties);
        parts.results.insert(parts.results.end(), {&team.virtualAdapterQueryResult, &team.memberQueryResult});
        for (sim::WmiVirtualAdapter& adapter : team.virtualAdapters) {
            parts.objects.push_back(&adapter.properties);
            parts.results.push_back(&adapter.vlanServiceQueryResult);
            for (sim::WmiVlanService& service : adapter.vlanServices) {
                parts.objects.push_back(&service.properties);
                parts.results.push_back(&service.vlanQueryResult);
                for (sim::WmiProperties& vlan : service.vlans) parts.objects.push_back(&vlan);
            }
        }
        for (sim::WmiMember& member : team.members) {
            parts.objects.push_back(&member.properties);
            parts.results.push_back(&member.membershipQueryResult);
            for (sim::WmiProperties& membership : member.memberships) parts.objects.push_back(&membership);
        }
    }
    return parts;
}

void Change(FuzzInput& in, sim::Machine& machine) {
    sim::TeamingProvider& provider = *machine.teamingProvider;
    switch (in.Below(8)) {
        case 0:
        case 1:
        case 2: {
            Parts parts = PartsOf(provider);
            if (auto* object = in.Pick(parts.objects)) SetProperty(in, **object);
            break;
        }
        case 3: {
            Parts parts = PartsOf(provider);
            if (auto* result = in.Pick(parts.results)) **result = Result(in);
            break;
        }
        case 4:
            provider.connectResult = Result(in);
            if (in.Flag()) provider.statusText = in.Text(64);
            break;
        case 5:
            provider.locator = in.Flag();
            break;
        case 6:
            // A copy of a team, or of one of its objects within it, so that
            // paths and names repeat.
            if (sim::WmiTeam* team = in.Pick(provider.teams)) {
                const std::uint32_t what = in.Below(3);
                if (what == 0) {
                    provider.teams.push_back(sim::WmiTeam(*team));
                } else if (what == 1 && !team->members.empty()) {
                    team->members.push_back(sim::WmiMember(*in.Pick(team->members)));
                } else if (!team->virtualAdapters.empty()) {
                    team->virtualAdapters.push_back(sim::WmiVirtualAdapter(*in.Pick(team->virtualAdapters)));
                }
            } else {
                provider.teams.emplace_back();
            }
            break;
        case 7:
            if (!provider.teams.empty()) provider.teams.erase(provider.teams.begin() + in.Below(provider.teams.size()));
            break;
    }
}

}  // namespace

void TeamingProviderTarget(const std::uint8_t* data, std::size_t size) {
    CheckChangedMachine(data, size, {"mixed-teams.json"}, Change, platform::kWmiMaxText);
}

}  // namespace linkscope::fuzz
