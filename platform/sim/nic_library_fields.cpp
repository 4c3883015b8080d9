#include "platform/sim/nic_library_fields.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/sim/address_parsing.h"

namespace linkscope::sim {
namespace {

using bmapi::Entry;

// Longest text of each record field, its NUL not counted.
constexpr std::size_t kTeamNameChars = 39;
constexpr std::size_t kVirtualNameChars = 247;
constexpr std::size_t kAddressChars = 19;
constexpr std::size_t kVirtualMacChars = 27;
constexpr std::size_t kVirtualVlanNameChars = 47;
constexpr std::size_t kTitleChars = 79;
constexpr std::size_t kAdapterVlanNameChars = 39;
constexpr std::size_t kServiceNameChars = bmapi::kServiceNameChars - 1;
constexpr std::size_t kFirmwareChars = 95;
constexpr std::size_t kBootCodeChars = 15;
constexpr std::size_t kAsfChars = 27;
constexpr std::size_t kMaxRawBytes = 65536;

constexpr std::uint32_t kFirstVirtualHandle = 1001;

constexpr Entry kLibraryCalls[] = {Entry::GetNumTeam, Entry::GetAllTeam, Entry::Initialize, Entry::GetNumPhyNicEx,
                                   Entry::GetAllPhyNicHandles};
constexpr Entry kAdapterCalls[] = {Entry::GetServiceName,   Entry::GetFirmwareInfo, Entry::Get5706FwInfo,
                                   Entry::Get57710FwInfo,   Entry::GetASFTable,     Entry::InitDiag,
                                   Entry::UnInitDiag,       Entry::GetPhyNic,       Entry::GetBRCMNicInfoEx,
                                   Entry::GetVbdEnumInfo};

std::optional<Entry> EntryNamed(const std::string& name) {
    for (std::size_t i = 0; i < bmapi::kEntryCount; ++i) {
        if (name == bmapi::kEntryNames[i]) return static_cast<Entry>(i);
    }
    return std::nullopt;
}

template <std::size_t N>
std::string NamesOf(const Entry (&entries)[N]) {
    std::string names;
    for (Entry entry : entries) names += (names.empty() ? "" : ", ") + std::string(bmapi::NameOf(entry));
    return names;
}

// A code, or a list of codes for successive calls.
CallCodes ReadCodes(const Field& field) {
    if (!field.Value().is_array()) return {field.Uint32()};
    CallCodes codes;
    for (const Field& item : field.Items()) codes.push_back(item.Uint32());
    if (codes.empty()) field.Fail("expected a result code or a non-empty list of codes");
    return codes;
}

template <std::size_t N>
NicCallResults ReadResults(const Field& field, const Entry (&allowed)[N]) {
    NicCallResults results;
    for (const auto& [name, value] : field.Entries()) {
        const auto entry = EntryNamed(name);
        if (!entry || std::find(std::begin(allowed), std::end(allowed), *entry) == std::end(allowed)) {
            value.Fail("not a call made here (known: " + NamesOf(allowed) + ")");
        }
        results[*entry] = ReadCodes(value);
    }
    return results;
}

// [{"offset": N, "hex": "..."} or {"offset": N, "text": "..."}], each
// within a record of `recordSize` bytes.
std::vector<RawPatch> ReadPatches(const Field& list, std::size_t recordSize) {
    std::vector<RawPatch> patches;
    for (const Field& item : list.Items()) {
        const Record record(item, {"offset", "hex", "text"});
        RawPatch patch;
        patch.offset = record.Require("offset").Uint32();
        const auto hex = record.Get("hex");
        const auto text = record.Get("text");
        if (hex.has_value() == text.has_value()) item.Fail("give either \"hex\" or \"text\"");
        if (hex) {
            const auto bytes = ParseHexBytes(hex->Text(3 * kMaxRawBytes));
            if (!bytes) hex->Fail("expected hex bytes like \"ffffffff\"");
            patch.bytes = *bytes;
        } else {
            const std::string bytes = text->Text(kMaxRawBytes);
            patch.bytes.assign(bytes.begin(), bytes.end());
        }
        if (patch.offset > recordSize || patch.bytes.size() > recordSize - patch.offset) {
            item.Fail("reaches past the record's " + std::to_string(recordSize) + " bytes");
        }
        patches.push_back(std::move(patch));
    }
    return patches;
}

NicTeamVirtualAdapter ReadVirtualAdapter(const Field& field, const NicTeam& team, std::uint32_t defaultHandle) {
    const Record record(field, {"handle", "name", "ip", "mask", "driverState", "mac", "vlanId", "vlanName",
                                "adapterState", "teamId", "result", "raw"});
    NicTeamVirtualAdapter adapter;
    adapter.handle = defaultHandle;
    record.Read("handle", &adapter.handle);
    record.Read("name", kVirtualNameChars, &adapter.name);
    record.Read("ip", kAddressChars, &adapter.ip);
    record.Read("mask", kAddressChars, &adapter.mask);
    record.Read("driverState", &adapter.driverState);
    record.Read("mac", kVirtualMacChars, &adapter.mac);
    record.Read("vlanId", &adapter.vlanId);
    record.Read("vlanName", kVirtualVlanNameChars, &adapter.vlanName);
    record.Read("adapterState", &adapter.adapterState);
    std::uint32_t teamId = team.id;
    record.Read("teamId", &teamId);
    adapter.teamId = teamId;
    if (auto result = record.Get("result")) adapter.result = ReadCodes(*result);
    if (auto raw = record.Get("raw")) adapter.raw = ReadPatches(*raw, bmapi::kVirtualNicRecord.size);
    return adapter;
}

NicTeam ReadTeam(const Field& field, std::uint32_t& nextHandle) {
    const Record record(field, {"name", "id", "type", "virtualAdapterCount", "virtualAdapters", "raw"});
    NicTeam team;
    record.Read("name", kTeamNameChars, &team.name);
    record.Read("id", &team.id);
    record.Read("type", &team.type);
    if (auto count = record.Get("virtualAdapterCount")) team.virtualAdapterCount = count->Uint32();
    if (auto list = record.Get("virtualAdapters")) {
        for (const Field& item : list->Items()) team.virtualAdapters.push_back(ReadVirtualAdapter(item, team, nextHandle++));
    }
    if (auto raw = record.Get("raw")) team.raw = ReadPatches(*raw, bmapi::kTeamRecordSize);
    return team;
}

void ReadAdapterRaw(const Field& field, NicAdapter& adapter) {
    static const std::pair<const char*, std::pair<AdapterRecordKind, std::size_t>> kinds[] = {
        {"adapter", {AdapterRecordKind::kAdapter, bmapi::kAdapterRecord.size}},
        {"extended", {AdapterRecordKind::kExtended, bmapi::kExtendedRecord.size}},
        {"secondFunction", {AdapterRecordKind::kSecondFunction, bmapi::kSecondFunctionRecord.size}},
        {"firmware", {AdapterRecordKind::kFirmware, bmapi::kFirmwareInfoRecord.size}},
        {"asf", {AdapterRecordKind::kAsf, bmapi::kAsfTableRecord.size}},
    };
    const Record record(field, {"adapter", "extended", "secondFunction", "firmware", "asf"});
    for (const auto& [name, kind] : kinds) {
        if (auto list = record.Get(name)) adapter.raw[kind.first] = ReadPatches(*list, kind.second);
    }
}

NicAdapter ReadAdapter(const Field& field, std::uint32_t defaultHandle) {
    const Record record(field, {"handle", "listed", "type", "title", "productName", "memberType", "description",
                                "dhcp", "ip", "mask", "gateway", "driverLoaded", "currentMac", "permanentMac",
                                "majorVersion", "minorVersion", "vlanId", "vlanName", "state", "pciDeviceId",
                                "mediaType", "speed", "adapterState", "teamName", "teamId", "archType",
                                "linkSetting", "serviceName", "secondFunction", "firmware", "bootCode",
                                "bootCode2", "asf", "results", "raw"});
    NicAdapter adapter;
    adapter.handle = defaultHandle;
    record.Read("handle", &adapter.handle);
    record.Read("listed", &adapter.listed);
    record.Read("type", &adapter.type);
    record.Read("title", kTitleChars, &adapter.title);
    record.Read("productName", kTitleChars, &adapter.productName);
    record.Read("memberType", &adapter.memberType);
    record.Read("description", kTitleChars, &adapter.description);
    bool dhcp = false;
    record.Read("dhcp", &dhcp);
    adapter.dhcp = dhcp ? 1 : 0;
    record.Read("ip", kAddressChars, &adapter.ip);
    record.Read("mask", kAddressChars, &adapter.mask);
    record.Read("gateway", kAddressChars, &adapter.gateway);
    bool driverLoaded = true;
    record.Read("driverLoaded", &driverLoaded);
    adapter.driverLoaded = driverLoaded ? 1 : 0;
    record.Read("currentMac", kAddressChars, &adapter.currentMac);
    adapter.permanentMac = adapter.currentMac;
    record.Read("permanentMac", kAddressChars, &adapter.permanentMac);
    record.Read("majorVersion", &adapter.majorVersion);
    record.Read("minorVersion", &adapter.minorVersion);
    record.Read("vlanId", &adapter.vlanId);
    record.Read("vlanName", kAdapterVlanNameChars, &adapter.vlanName);
    record.Read("state", &adapter.state);
    record.Read("pciDeviceId", &adapter.pciDeviceId);
    record.Read("mediaType", &adapter.mediaType);
    record.Read("speed", &adapter.speed);
    record.Read("adapterState", &adapter.adapterState);
    record.Read("teamName", kTeamNameChars, &adapter.teamName);
    record.Read("teamId", &adapter.teamId);
    record.Read("archType", &adapter.archType);
    record.Read("linkSetting", &adapter.linkSetting);
    record.Read("serviceName", kServiceNameChars, &adapter.serviceName);
    record.Read("secondFunction", &adapter.secondFunction);
    record.Read("firmware", kFirmwareChars, &adapter.firmware);
    record.Read("bootCode", kBootCodeChars, &adapter.bootCode);
    record.Read("bootCode2", kBootCodeChars, &adapter.bootCode2);
    record.Read("asf", kAsfChars, &adapter.asf);
    if (auto results = record.Get("results")) adapter.results = ReadResults(*results, kAdapterCalls);
    if (auto raw = record.Get("raw")) ReadAdapterRaw(*raw, adapter);
    return adapter;
}

}  // namespace

NicLibrary ReadNicLibrary(const Field& field) {
    const Record record(field, {"loadError", "missing", "failAllocation", "results", "teamCount", "adapterCount",
                                "teams", "adapters"});
    NicLibrary library;
    if (auto code = record.Get("loadError")) library.loadError = code->Uint32();
    if (auto missing = record.Get("missing")) {
        for (const Field& item : missing->Items()) {
            const auto entry = EntryNamed(item.Text(64));
            if (!entry) item.Fail("not an entry point of the library (known: BmapiGetNumTeam, ... BmapiGetVbdEnumInfo)");
            library.missing.push_back(*entry);
        }
    }
    if (auto sizes = record.Get("failAllocation")) {
        for (const Field& item : sizes->Items()) library.failAllocation.push_back(item.Uint32());
    }
    if (auto results = record.Get("results")) library.results = ReadResults(*results, kLibraryCalls);
    if (auto count = record.Get("teamCount")) library.teamCount = count->Uint32();
    if (auto count = record.Get("adapterCount")) library.adapterCount = count->Uint32();
    if (auto teams = record.Get("teams")) {
        std::uint32_t nextHandle = kFirstVirtualHandle;
        for (const Field& item : teams->Items()) library.teams.push_back(ReadTeam(item, nextHandle));
    }
    if (auto adapters = record.Get("adapters")) {
        std::uint32_t position = 0;
        for (const Field& item : adapters->Items()) library.adapters.push_back(ReadAdapter(item, ++position));
    }
    return library;
}

}  // namespace linkscope::sim
