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
    switch (value.kind) {
        case WmiValue::Kind::kText:
            // Up to past the longest text WMI hands over.
            value.text = in.Text(platform::kWmiMaxText + 8);
            break;
        case WmiValue::Kind::kInt32:
            value.integer = in.Number<std::int32_t>();
            break;
        case WmiValue::Kind::kOtherInteger:
            value.integer = in.Number<std::int64_t>();
            break;
        default:
            break;
    }
    return value;
}

void SetProperty(FuzzInput& in, sim::WmiProperties& properties) {
    const std::string name = in.TextOr(kPropertyNames, 16);
    WmiValue value = Value(in);
    for (auto& property : properties) {
        if (property.first == name) {
            property.second = std::move(value);
            return;
        }
    }
    properties.emplace_back(name, std::move(value));
}

// Every object of the provider, for a change to pick one.
std::vector<sim::WmiProperties*> Objects(sim::TeamingProvider& provider) {
    std::vector<sim::WmiProperties*> objects;
    for (sim::WmiTeam& team : provider.teams) {
        objects.push_back(&team.properties);
        for (sim::WmiVirtualAdapter& adapter : team.virtualAdapters) {
            objects.push_back(&adapter.properties);
            for (sim::WmiVlanService& service : adapter.vlanServices) {
                objects.push_back(&service.properties);
                for (sim::WmiProperties& vlan : service.vlans) objects.push_back(&vlan);
            }
        }
        for (sim::WmiMember& member : team.members) {
            objects.push_back(&member.properties);
            for (sim::WmiProperties& membership : member.memberships) objects.push_back(&membership);
        }
    }
    return objects;
}

void Change(FuzzInput& in, sim::Machine& machine) {
    sim::TeamingProvider& provider = *machine.teamingProvider;
    switch (in.Below(8)) {
        case 0:
        case 1:
        case 2: {
            std::vector<sim::WmiProperties*> objects = Objects(provider);
            if (auto* object = in.Pick(objects)) SetProperty(in, **object);
            break;
        }
        case 3: {
            sim::WmiTeam* team = in.Pick(provider.teams);
            if (!team) break;
            switch (in.Below(6)) {
                case 0: team->virtualAdapterQueryResult = Result(in); break;
                case 1: team->memberQueryResult = Result(in); break;
                case 2:
                    if (auto* adapter = in.Pick(team->virtualAdapters)) adapter->vlanServiceQueryResult = Result(in);
                    break;
                case 3:
                    if (auto* adapter = in.Pick(team->virtualAdapters)) {
                        if (auto* service = in.Pick(adapter->vlanServices)) service->vlanQueryResult = Result(in);
                    }
                    break;
                case 4:
                    if (auto* member = in.Pick(team->members)) member->membershipQueryResult = Result(in);
                    break;
                default: provider.teamQueryResult = Result(in); break;
            }
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
