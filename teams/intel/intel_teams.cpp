// The Intel collector: teams, their virtual adapters with VLANs and their
// members, read from the teaming provider over WMI.
#include <memory>
#include <string>

#include "collect/log.h"
#include "platform/platform.h"
#include "teams/intel/wmi_values.h"
#include "teams/teams.h"

namespace linkscope {
namespace {

using platform::WmiConnection;
using platform::WmiObject;

constexpr char kNamespace[] = "root/IntelNCS";
constexpr char kDevicePrefix[] = "\\DEVICE\\TCPIP_";
// Team n (from 1, in enumeration order) is number 400 + n; its type is its
// teaming mode + 401.
constexpr std::uint32_t kTeamNumberBase = 400;
constexpr std::uint32_t kTeamTypeBase = 401;
// The adapter status bit that says the driver is loaded.
constexpr std::int32_t kDriverLoadedBit = 2;
// A failed connection whose code the system has no text for.
constexpr char kNoStatusText[] = "(no status text)";

constexpr char kTeamQuery[] = "SELECT * FROM IANet_TeamOfAdapters";
constexpr char kVirtualAdapterQuery[] = "ASSOCIATORS OF {%S} WHERE AssocClass = IANeT_NetworkVirtualAdapter";
constexpr char kVlanServiceQuery[] = "ASSOCIATORS OF {%S} WHERE ResultClass = IANeT_802dot1QVLANService";
constexpr char kVlanQuery[] = "ASSOCIATORS OF {%S} WHERE ResultClass = IANeT_VLAN";
constexpr char kMemberQuery[] = "ASSOCIATORS OF {%S} WHERE AssocClass = IANeT_TeamedMemberAdapter";
constexpr char kMembershipQuery[] = "REFERENCES OF {%S} WHERE ResultClass = IANeT_TeamedMemberAdapter";

// COM for the calling thread while the collector runs, left on every way out.
class ComScope {
public:
    explicit ComScope(platform::WmiApi& wmi) : wmi_(wmi) { wmi_.InitializeCom(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
    ~ComScope() { wmi_.UninitializeCom(); }

private:
    platform::WmiApi& wmi_;
};

std::string QueryFor(const char* shape, const std::string& path) {
    std::string query = shape;
    return query.replace(query.find("%S"), 2, path);
}

std::string Text(WmiObject& object, const char* property) { return intel::TextOf(object.Get(property)); }
std::int32_t Int32(WmiObject& object, const char* property) { return intel::Int32Of(object.Get(property)); }

// Runs `query`; a failed query (or one without an answer) gives null.
std::unique_ptr<platform::WmiEnumerator> Run(WmiConnection& connection, const std::string& query) {
    platform::WmiQueryAnswer answer = connection.ExecQuery(query);
    if (answer.result < 0) return nullptr;
    return answer.objects ? std::move(answer.objects) : nullptr;
}

// The last VLAN of the adapter's VLAN services names it. A failed query
// is logged as its text; the adapter keeps what it has.
void ReadVlans(WmiConnection& connection, WmiObject& adapter, VirtualNetworkAdapter& record) {
    const std::string servicesQuery = QueryFor(kVlanServiceQuery, Text(adapter, "__PATH"));
    const auto services = Run(connection, servicesQuery);
    if (!services) {
        Log(kLogDetail, servicesQuery);
        return;
    }
    while (const auto service = services->Next()) {
        const std::string vlansQuery = QueryFor(kVlanQuery, Text(*service, "__PATH"));
        const auto vlans = Run(connection, vlansQuery);
        if (!vlans) {
            Log(kLogDetail, vlansQuery);
            continue;
        }
        while (const auto vlan = vlans->Next()) {
            record.SetVlanName(Text(*vlan, "VLANName"));
            record.SetVlanID(Int32(*vlan, "VLANNumber"));
        }
    }
}

bool CollectVirtualAdapters(WmiConnection& connection, const std::string& teamPath, std::uint32_t number,
                            AdaptersInfo& adapters) {
    const auto found = Run(connection, QueryFor(kVirtualAdapterQuery, teamPath));
    if (!found) return false;
    while (const auto adapter = found->Next()) {
        auto record = std::make_unique<VirtualNetworkAdapter>();
        record->SetVendorName(Text(*adapter, "Name"));
        record->SetDescription(Text(*adapter, "Description"));
        const std::string miniport = Text(*adapter, "MiniPortInstance");
        record->SetName(miniport);
        record->SetDeviceID(kDevicePrefix + miniport);
        const std::string mac = Text(*adapter, "PermanentAddress");
        record->SetPermanentAddress(Teams::FormatMacAddress(mac));
        record->SetMacAddress(mac);
        record->SetInTeam(true);
        record->SetTeamID(static_cast<std::int32_t>(number));
        ReadVlans(connection, *adapter, *record);
        adapters.AddVirtualAdapter(record.release());
    }
    return true;
}

// Appends the team's members; false (after logging) when a query failed
// and the collector must end. A member whose membership cannot be read is
// not appended.
bool CollectMembers(WmiConnection& connection, const std::string& teamPath, const std::string& teamName,
                    std::uint32_t number, AdaptersInfo& adapters) {
    const auto found = Run(connection, QueryFor(kMemberQuery, teamPath));
    if (!found) {
        Log(kLogDetail, "Query for physical team members failed");
        return false;
    }
    while (const auto member = found->Next()) {
        auto record = std::make_unique<PhysicalNetworkAdapter>();
        record->SetName(Text(*member, "Name"));
        record->SetDescription(Text(*member, "Description"));
        const std::string deviceId = Text(*member, "DeviceID");
        record->SetName(deviceId);
        record->SetDeviceID(kDevicePrefix + deviceId);
        const std::string mac = Text(*member, "PermanentAddress");
        record->SetPermanentAddress(Teams::FormatMacAddress(mac));
        record->SetMacAddress(mac);
        record->SetDriverLoaded((Int32(*member, "AdapterStatus") & kDriverLoadedBit) != 0);
        record->SetEnabledState(intel::EnabledStateOfHardwareStatus(Int32(*member, "HardwareStatus")));
        record->SetSpeed(intel::SpeedOf(member->Get("Speed")));
        record->SetMemberTeamID(static_cast<std::int32_t>(number));
        record->SetTeamName(teamName);
        record->SetInTeam(true);

        const auto memberships = Run(connection, QueryFor(kMembershipQuery, Text(*member, "__PATH")));
        if (!memberships) {
            Log(kLogDetail, "Query for status information failed");
            return false;
        }
        while (const auto membership = memberships->Next()) {
            record->SetMemberPriority(Int32(*membership, "AdapterFunction"));
            record->SetMemberType(Int32(*membership, "AdapterStatus"));
        }
        adapters.AddPhysicalAdapter(record.release());
    }
    return true;
}

}  // namespace

// Teams and adapters appended before a failure stay.
void Teams::CollectIntelTeams(AdaptersInfo& adapters) {
    platform::WmiApi& wmi = platform::Current().Wmi();
    const ComScope com(wmi);
    const auto locator = wmi.CreateLocator();
    if (!locator) {
        Log(kLogDetail, "Error reading from WMI, no teams collected");
        return;
    }
    const platform::WmiConnectAnswer connected = locator->ConnectServer(kNamespace);
    if (connected.result != platform::kWmiOk || !connected.connection) {
        Log(kLogDetail, Format("wmitools: ConnectServer failed: (0x%08x), %s", static_cast<unsigned>(connected.result),
                               connected.statusText.value_or(kNoStatusText).c_str()));
        return;
    }
    WmiConnection& connection = *connected.connection;
    const auto teams = Run(connection, kTeamQuery);
    if (!teams) {
        Log(kLogDetail, "Query for teams failed");
        return;
    }
    std::uint32_t counter = 1;
    while (const auto team = teams->Next()) {
        const std::uint32_t number = kTeamNumberBase + counter;
        auto* info = new TeamInfo();
        info->SetTeamID(number);
        info->SetTeamName(Text(*team, "Caption"));
        info->SetTeamType(static_cast<std::uint32_t>(Int32(*team, "TeamingMode")) + kTeamTypeBase);
        const std::string path = Text(*team, "__PATH");
        teams_.push_back(info);
        ++counter;
        if (!CollectVirtualAdapters(connection, path, number, adapters)) {
            Log(kLogDetail, "Query for virtual adapters failed");
            return;
        }
        if (!CollectMembers(connection, path, info->GetTeamName(), number, adapters)) return;
    }
}

}  // namespace linkscope
