#include "platform/sim/teaming_provider_fields.h"

#include <algorithm>
#include <initializer_list>
#include <limits>

namespace linkscope::sim {
namespace {

using platform::WmiValue;

constexpr std::size_t kMaxText = 65536;
constexpr char kPathPrefix[] = "root\\IntelNCS:";

// An HRESULT as a number (0 to 4294967295) or a hex text like "0x8004100E".
platform::WmiResult ReadResult(const Field& field) {
    if (field.Value().is_string()) {
        const std::string text = field.Text(10);
        if (text.size() < 3 || text.compare(0, 2, "0x") != 0 ||
            text.find_first_not_of("0123456789abcdefABCDEF", 2) != std::string::npos) {
            field.Fail("expected a result code like 2147749902 or \"0x8004100E\"");
        }
        return static_cast<platform::WmiResult>(std::stoul(text.substr(2), nullptr, 16));
    }
    return static_cast<platform::WmiResult>(field.Uint32());
}

// A string is a text, an integer a 32-bit integer when it fits one and
// another integer kind otherwise, {"otherInteger": N} another integer kind
// of any value, null no value; anything else (true, 1.5, [...]) is a
// value of another kind.
WmiValue ReadValue(const Field& field) {
    const Json& json = field.Value();
    WmiValue value;
    if (json.is_null()) return value;
    if (json.is_string()) {
        value.kind = WmiValue::Kind::kText;
        value.text = field.Text(kMaxText);
    } else if (json.is_number_integer()) {
        if (json.is_number_unsigned() && json.get<std::uint64_t>() > std::numeric_limits<std::int64_t>::max()) {
            field.Fail("an integer beyond 64 signed bits");
        }
        value.integer = json.get<std::int64_t>();
        const bool fits = value.integer >= std::numeric_limits<std::int32_t>::min() &&
                          value.integer <= std::numeric_limits<std::int32_t>::max();
        value.kind = fits ? WmiValue::Kind::kInt32 : WmiValue::Kind::kOtherInteger;
    } else if (json.is_object()) {
        const Record record(field, {"otherInteger"});
        const Field number = record.Require("otherInteger");
        if (!number.Value().is_number_integer() || (number.Value().is_number_unsigned() &&
                                                    number.Value().get<std::uint64_t>() > std::numeric_limits<std::int64_t>::max())) {
            number.Fail("expected an integer of 64 signed bits");
        }
        value.kind = WmiValue::Kind::kOtherInteger;
        value.integer = number.Value().get<std::int64_t>();
    } else {
        value.kind = WmiValue::Kind::kOther;
    }
    return value;
}

// The WMI properties of an object: the members of `field` named in
// `properties`; every other member must be one of `structure`. `__PATH`
// is always allowed and defaults to `path`.
WmiProperties ReadProperties(const Field& field, std::initializer_list<const char*> properties,
                             std::initializer_list<const char*> structure, const std::string& path) {
    std::vector<const char*> known(properties);
    known.insert(known.end(), structure);
    known.push_back("__PATH");
    if (!field.Value().is_object()) field.Fail("expected an object");
    for (const auto& member : field.Value().items()) {
        if (std::none_of(known.begin(), known.end(), [&](const char* name) { return member.key() == name; })) {
            std::string list;
            for (const char* name : known) list += (list.empty() ? "" : ", ") + std::string(name);
            field.Child(member.key(), member.value()).Fail("unknown field (known: " + list + ")");
        }
    }
    WmiProperties read;
    for (const char* name : properties) {
        if (field.Value().contains(name)) read.emplace_back(name, ReadValue(field.Member(name)));
    }
    if (field.Value().contains("__PATH")) {
        read.emplace_back("__PATH", ReadValue(field.Member("__PATH")));
    } else {
        read.emplace_back("__PATH", WmiValue{WmiValue::Kind::kText, kPathPrefix + path, 0});
    }
    return read;
}

template <class Read>
auto ReadList(const Field& object, const char* name, Read read) {
    std::vector<decltype(read(object, std::size_t{}))> items;
    if (!object.Value().contains(name)) return items;
    std::size_t position = 0;
    for (const Field& item : object.Member(name).Items()) items.push_back(read(item, ++position));
    return items;
}

void ReadResultField(const Field& object, const char* name, platform::WmiResult* out) {
    if (object.Value().contains(name)) *out = ReadResult(object.Member(name));
}

WmiTeam ReadTeam(const Field& field, std::size_t position) {
    const std::string id = std::to_string(position);
    WmiTeam team;
    team.properties = ReadProperties(field, {"Caption", "TeamingMode"},
                                     {"virtualAdapters", "members", "virtualAdapterQueryResult", "memberQueryResult"},
                                     "IANet_TeamOfAdapters.Id=\"" + id + "\"");
    ReadResultField(field, "virtualAdapterQueryResult", &team.virtualAdapterQueryResult);
    ReadResultField(field, "memberQueryResult", &team.memberQueryResult);
    team.virtualAdapters = ReadList(field, "virtualAdapters", [&](const Field& item, std::size_t k) {
        const std::string adapterId = id + "." + std::to_string(k);
        WmiVirtualAdapter adapter;
        adapter.properties =
            ReadProperties(item, {"Name", "Description", "MiniPortInstance", "PermanentAddress"},
                           {"vlanServices", "vlanServiceQueryResult"}, "TeamVirtualAdapter.Id=\"" + adapterId + "\"");
        ReadResultField(item, "vlanServiceQueryResult", &adapter.vlanServiceQueryResult);
        adapter.vlanServices = ReadList(item, "vlanServices", [&](const Field& serviceItem, std::size_t s) {
            WmiVlanService service;
            service.properties = ReadProperties(serviceItem, {}, {"vlans", "vlanQueryResult"},
                                                "IANeT_802dot1QVLANService.Id=\"" + adapterId + "." +
                                                    std::to_string(s) + "\"");
            ReadResultField(serviceItem, "vlanQueryResult", &service.vlanQueryResult);
            service.vlans = ReadList(serviceItem, "vlans", [](const Field& vlan, std::size_t) {
                return ReadProperties(vlan, {"VLANName", "VLANNumber"}, {}, "IANeT_VLAN");
            });
            return service;
        });
        return adapter;
    });
    team.members = ReadList(field, "members", [&](const Field& item, std::size_t m) {
        WmiMember member;
        member.properties = ReadProperties(
            item, {"Name", "Description", "DeviceID", "PermanentAddress", "AdapterStatus", "HardwareStatus", "Speed"},
            {"memberships", "membershipQueryResult"}, "TeamMember.Id=\"" + id + "." + std::to_string(m) + "\"");
        ReadResultField(item, "membershipQueryResult", &member.membershipQueryResult);
        member.memberships = ReadList(item, "memberships", [](const Field& record, std::size_t) {
            return ReadProperties(record, {"AdapterFunction", "AdapterStatus"}, {}, "IANeT_TeamedMemberAdapter");
        });
        return member;
    });
    return team;
}

}  // namespace

TeamingProvider ReadTeamingProvider(const Field& field) {
    const Record record(field, {"locator", "connectResult", "statusText", "teamQueryResult", "teams"});
    TeamingProvider provider;
    record.Read("locator", &provider.locator);
    if (auto code = record.Get("connectResult")) provider.connectResult = ReadResult(*code);
    if (auto text = record.Get("statusText")) {
        if (!text->Value().is_null()) provider.statusText = text->Text(kMaxText);
    } else if (provider.connectResult != platform::kWmiOk) {
        provider.statusText = "Error";
    }
    if (auto code = record.Get("teamQueryResult")) provider.teamQueryResult = ReadResult(*code);
    provider.teams = ReadList(field, "teams", ReadTeam);
    return provider;
}

}  // namespace linkscope::sim
