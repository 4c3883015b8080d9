// Records are laid out here from the library's own field offsets, written
// independently of the collector's reader so that each checks the other.
#include "platform/sim/sim_bmapi.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

namespace linkscope::sim {
namespace {

using bmapi::Entry;
using bmapi::U32;

// What the library answers for a handle it never handed out, and for a
// record whose preset field (or a text buffer whose size) is not the one
// the caller must give.
constexpr U32 kUnknownHandle = platform::kInvalidHandle;
constexpr U32 kWrongPreset = platform::kInvalidParameter;

class Writer {
public:
    Writer(void* record, std::size_t size) : bytes_(static_cast<std::uint8_t*>(record)), size_(size) {}

    void U32At(std::size_t offset, U32 value) {
        for (std::size_t i = 0; i < 4 && offset + i < size_; ++i) bytes_[offset + i] = (value >> (8 * i)) & 0xFF;
    }
    // The text and its NUL; the machine file keeps texts within their fields.
    void TextAt(std::size_t offset, const std::string& text) {
        if (offset >= size_) return;
        const std::size_t length = std::min(text.size(), size_ - offset - 1);
        std::memcpy(bytes_ + offset, text.data(), length);
        bytes_[offset + length] = 0;
    }
    void Apply(const std::vector<RawPatch>& patches) {
        for (const RawPatch& patch : patches) {
            if (patch.offset >= size_ || patch.bytes.empty()) continue;
            const std::size_t length = std::min(patch.bytes.size(), size_ - patch.offset);
            std::memcpy(bytes_ + patch.offset, patch.bytes.data(), length);
        }
    }

private:
    std::uint8_t* bytes_;
    std::size_t size_;
};

U32 FirstU32(const void* record) {
    U32 value = 0;
    std::memcpy(&value, record, sizeof value);
    return value;
}

bool Preset(const void* record, const bmapi::RecordShape& shape) { return FirstU32(record) == shape.preset; }

// The library being served, its adapters by handle and how often each
// call was made, for sequences of result codes.
struct Served {
    const NicLibrary* library = nullptr;
    std::unordered_map<U32, const NicTeamVirtualAdapter*> virtualAdapters;
    std::unordered_map<U32, const NicAdapter*> adapters;
    std::vector<const NicAdapter*> adapterByHandle;  // the small handles, where they are dense
    std::unordered_map<const void*, std::array<std::size_t, bmapi::kEntryCount>> calls;
    std::array<std::size_t, bmapi::kEntryCount> totals{};  // kept when serving stops
};

Served& State() {
    static Served served;
    return served;
}

// The code of `owner`'s next call of `entry`.
// Calls are counted per owner only where a sequence of codes makes the
// count matter.
U32 NextCode(const void* owner, Entry entry, const CallCodes& codes) {
    ++State().totals[static_cast<std::size_t>(entry)];
    if (codes.size() < 2) return codes.empty() ? bmapi::kSuccess : codes.front();
    const std::size_t call = State().calls[owner][static_cast<std::size_t>(entry)]++;
    return codes[std::min(call, codes.size() - 1)];
}

U32 NextCode(const void* owner, const NicCallResults& results, Entry entry) {
    static const CallCodes success;
    const auto found = results.find(entry);
    return NextCode(owner, entry, found == results.end() ? success : found->second);
}

U32 LibraryCode(Entry entry) { return NextCode(State().library, State().library->results, entry); }

const NicAdapter* AdapterOf(U32 handle) {
    const Served& served = State();
    if (handle < served.adapterByHandle.size()) return served.adapterByHandle[handle];
    const auto found = served.adapters.find(handle);
    return found == served.adapters.end() ? nullptr : found->second;
}

const std::vector<RawPatch>& PatchesOf(const NicAdapter& adapter, AdapterRecordKind kind) {
    static const std::vector<RawPatch> none;
    const auto found = adapter.raw.find(kind);
    return found == adapter.raw.end() ? none : found->second;
}

U32 TeamCount() { return State().library->teamCount.value_or(static_cast<U32>(State().library->teams.size())); }

U32 AdapterCount() {
    if (State().library->adapterCount) return *State().library->adapterCount;
    const auto& adapters = State().library->adapters;
    return static_cast<U32>(std::count_if(adapters.begin(), adapters.end(), [](const NicAdapter& a) { return a.listed; }));
}

void WriteTeam(const NicTeam& team, void* record) {
    Writer out(record, bmapi::kTeamRecordSize);
    out.TextAt(0, team.name);
    out.U32At(40, team.id);
    out.U32At(44, team.type);
    out.U32At(3432, team.virtualAdapterCount.value_or(static_cast<U32>(team.virtualAdapters.size())));
    for (std::size_t k = 0; k < team.virtualAdapters.size(); ++k) {
        out.U32At(3440 + 420 * k, team.virtualAdapters[k].handle);
    }
    out.Apply(team.raw);
}

void WriteAdapter(const NicAdapter& adapter, void* record) {
    Writer out(record, bmapi::kAdapterRecord.size);
    out.U32At(8, adapter.type);
    out.U32At(12, adapter.handle);
    out.TextAt(16, adapter.title);
    out.TextAt(96, adapter.productName);
    out.U32At(176, adapter.memberType);
    out.TextAt(180, adapter.description);
    out.U32At(260, adapter.dhcp);
    out.TextAt(264, adapter.ip);
    out.TextAt(284, adapter.mask);
    out.TextAt(304, adapter.gateway);
    out.U32At(324, adapter.driverLoaded);
    out.TextAt(328, adapter.currentMac);
    out.TextAt(348, adapter.permanentMac);
    out.U32At(368, adapter.majorVersion);
    out.U32At(372, adapter.minorVersion);
    out.U32At(376, adapter.vlanId);
    out.TextAt(380, adapter.vlanName);
    out.U32At(420, adapter.state);
    out.U32At(432, adapter.pciDeviceId);
    out.U32At(568, adapter.mediaType);
    out.U32At(572, adapter.speed);
    out.U32At(576, adapter.adapterState);
    out.TextAt(652, adapter.teamName);
    out.U32At(692, adapter.teamId);
    out.U32At(704, adapter.archType);
    out.Apply(PatchesOf(adapter, AdapterRecordKind::kAdapter));
}

// The per-adapter calls that fill one record: find the adapter, take its
// next result code, check the preset, then let `fill` write the record.
template <class Fill>
U32 AdapterCall(Entry entry, U32 handle, void* record, const bmapi::RecordShape& shape, Fill fill) {
    const NicAdapter* adapter = AdapterOf(handle);
    if (adapter == nullptr) return kUnknownHandle;
    const U32 code = NextCode(adapter, adapter->results, entry);
    if (code != bmapi::kSuccess) return code;
    const bool presetOk = entry == Entry::GetASFTable ? *static_cast<const std::uint8_t*>(record) == shape.preset
                                                      : Preset(record, shape);
    if (!presetOk) return kWrongPreset;
    Writer out(record, shape.size);
    fill(*adapter, out);
    return bmapi::kSuccess;
}

void WriteBootCodes(const NicAdapter& adapter, Writer& out) {
    out.TextAt(4, adapter.bootCode);
    out.TextAt(20, adapter.bootCode2);
    out.Apply(PatchesOf(adapter, AdapterRecordKind::kFirmware));
}

extern "C" {

U32 LINKSCOPE_BMAPI_CALL SimGetNumTeam(U32* count) {
    const U32 code = LibraryCode(Entry::GetNumTeam);
    if (code == bmapi::kSuccess) *count = TeamCount();
    return code;
}

U32 LINKSCOPE_BMAPI_CALL SimGetAllTeam(void* teams, U32 count) {
    const U32 code = LibraryCode(Entry::GetAllTeam);
    if (code != bmapi::kSuccess) return code;
    const auto& list = State().library->teams;
    for (std::size_t i = 0; i < std::min<std::size_t>(count, list.size()); ++i) {
        WriteTeam(list[i], static_cast<std::uint8_t*>(teams) + i * bmapi::kTeamRecordSize);
    }
    return code;
}

U32 LINKSCOPE_BMAPI_CALL SimInitialize() { return LibraryCode(Entry::Initialize); }

U32 LINKSCOPE_BMAPI_CALL SimUninitialize() {
    ++State().totals[static_cast<std::size_t>(Entry::Uninitialize)];
    return bmapi::kSuccess;
}

U32 LINKSCOPE_BMAPI_CALL SimGetNumPhyNicEx(U32* count) {
    const U32 code = LibraryCode(Entry::GetNumPhyNicEx);
    if (code == bmapi::kSuccess) *count = AdapterCount();
    return code;
}

U32 LINKSCOPE_BMAPI_CALL SimGetAllPhyNicHandles(U32* handles, U32 count) {
    const U32 code = LibraryCode(Entry::GetAllPhyNicHandles);
    if (code != bmapi::kSuccess) return code;
    U32 written = 0;
    for (const NicAdapter& adapter : State().library->adapters) {
        if (written == count) break;
        if (adapter.listed) handles[written++] = adapter.handle;
    }
    return code;
}

U32 LINKSCOPE_BMAPI_CALL SimGetBrcmVirNic(U32 handle, void* record) {
    const auto found = State().virtualAdapters.find(handle);
    if (found == State().virtualAdapters.end()) return kUnknownHandle;
    const NicTeamVirtualAdapter& adapter = *found->second;
    const U32 code = NextCode(&adapter, Entry::GetBrcmVirNic, adapter.result);
    if (code != bmapi::kSuccess) return code;
    if (!Preset(record, bmapi::kVirtualNicRecord)) return kWrongPreset;
    Writer out(record, bmapi::kVirtualNicRecord.size);
    out.TextAt(12, adapter.name);
    out.TextAt(260, adapter.ip);
    out.TextAt(280, adapter.mask);
    out.U32At(320, adapter.driverState);
    out.TextAt(344, adapter.mac);
    out.U32At(372, adapter.vlanId);
    out.TextAt(376, adapter.vlanName);
    out.U32At(424, adapter.adapterState);
    out.U32At(528, adapter.teamId.value_or(0));
    out.Apply(adapter.raw);
    return code;
}

U32 LINKSCOPE_BMAPI_CALL SimGetPhyNic(U32 handle, void* record) {
    return AdapterCall(Entry::GetPhyNic, handle, record, bmapi::kAdapterRecord,
                       [&](const NicAdapter& adapter, Writer&) { WriteAdapter(adapter, record); });
}

U32 LINKSCOPE_BMAPI_CALL SimGetBRCMNicInfoEx(U32 handle, void* record) {
    return AdapterCall(Entry::GetBRCMNicInfoEx, handle, record, bmapi::kExtendedRecord,
                       [](const NicAdapter& adapter, Writer& out) {
                           out.U32At(120, adapter.linkSetting);
                           out.Apply(PatchesOf(adapter, AdapterRecordKind::kExtended));
                       });
}

U32 LINKSCOPE_BMAPI_CALL SimGetVbdEnumInfo(U32 handle, void* record) {
    return AdapterCall(Entry::GetVbdEnumInfo, handle, record, bmapi::kSecondFunctionRecord,
                       [](const NicAdapter& adapter, Writer& out) {
                           out.U32At(16, adapter.secondFunction);
                           out.Apply(PatchesOf(adapter, AdapterRecordKind::kSecondFunction));
                       });
}

U32 LINKSCOPE_BMAPI_CALL SimGetFirmwareInfo(U32 handle, void* record) {
    return AdapterCall(Entry::GetFirmwareInfo, handle, record, bmapi::kFirmwareInfoRecord,
                       [](const NicAdapter& adapter, Writer& out) {
                           out.TextAt(516, adapter.firmware);
                           out.Apply(PatchesOf(adapter, AdapterRecordKind::kFirmware));
                       });
}

U32 LINKSCOPE_BMAPI_CALL SimGet5706FwInfo(U32 handle, void* record) {
    return AdapterCall(Entry::Get5706FwInfo, handle, record, bmapi::k5706FirmwareRecord, WriteBootCodes);
}

U32 LINKSCOPE_BMAPI_CALL SimGet57710FwInfo(U32 handle, void* record) {
    return AdapterCall(Entry::Get57710FwInfo, handle, record, bmapi::k57710FirmwareRecord, WriteBootCodes);
}

U32 LINKSCOPE_BMAPI_CALL SimGetASFTable(U32 handle, void* record) {
    return AdapterCall(Entry::GetASFTable, handle, record, bmapi::kAsfTableRecord,
                       [](const NicAdapter& adapter, Writer& out) {
                           out.TextAt(1576, adapter.asf);
                           out.Apply(PatchesOf(adapter, AdapterRecordKind::kAsf));
                       });
}

U32 LINKSCOPE_BMAPI_CALL SimGetServiceName(U32 handle, char* name, U32 size) {
    const NicAdapter* adapter = AdapterOf(handle);
    if (adapter == nullptr) return kUnknownHandle;
    const U32 code = NextCode(adapter, adapter->results, Entry::GetServiceName);
    if (code != bmapi::kSuccess) return code;
    if (size != bmapi::kServiceNameChars) return kWrongPreset;
    Writer(name, size).TextAt(0, adapter->serviceName);
    return code;
}

U32 LINKSCOPE_BMAPI_CALL SimInitDiag(U32 handle) {
    const NicAdapter* adapter = AdapterOf(handle);
    return adapter ? NextCode(adapter, adapter->results, Entry::InitDiag) : kUnknownHandle;
}

U32 LINKSCOPE_BMAPI_CALL SimUnInitDiag(U32 handle) {
    const NicAdapter* adapter = AdapterOf(handle);
    return adapter ? NextCode(adapter, adapter->results, Entry::UnInitDiag) : kUnknownHandle;
}

}  // extern "C"

// In the order of bmapi::Entry.
const std::array<platform::RawProc, bmapi::kEntryCount> kEntryPoints = {
    reinterpret_cast<platform::RawProc>(&SimGetNumTeam),
    reinterpret_cast<platform::RawProc>(&SimGetAllTeam),
    reinterpret_cast<platform::RawProc>(&SimInitialize),
    reinterpret_cast<platform::RawProc>(&SimUninitialize),
    reinterpret_cast<platform::RawProc>(&SimGetServiceName),
    reinterpret_cast<platform::RawProc>(&SimGetFirmwareInfo),
    reinterpret_cast<platform::RawProc>(&SimGet5706FwInfo),
    reinterpret_cast<platform::RawProc>(&SimGet57710FwInfo),
    reinterpret_cast<platform::RawProc>(&SimGetASFTable),
    reinterpret_cast<platform::RawProc>(&SimInitDiag),
    reinterpret_cast<platform::RawProc>(&SimUnInitDiag),
    reinterpret_cast<platform::RawProc>(&SimGetNumPhyNicEx),
    reinterpret_cast<platform::RawProc>(&SimGetAllPhyNicHandles),
    reinterpret_cast<platform::RawProc>(&SimGetBrcmVirNic),
    reinterpret_cast<platform::RawProc>(&SimGetPhyNic),
    reinterpret_cast<platform::RawProc>(&SimGetBRCMNicInfoEx),
    reinterpret_cast<platform::RawProc>(&SimGetVbdEnumInfo),
};

}  // namespace

void ServeNicLibrary(const NicLibrary* library) {
    Served& served = State();
    const auto totals = served.totals;
    served = Served{};
    served.library = library;
    if (library == nullptr) {
        served.totals = totals;
        return;
    }
    for (const NicTeam& team : library->teams) {
        for (const NicTeamVirtualAdapter& adapter : team.virtualAdapters) {
            served.virtualAdapters.emplace(adapter.handle, &adapter);
        }
    }
    // Handles are usually numbered from 1: those below a bound that grows
    // with the adapters are found in a flat table, the others in the map.
    served.adapterByHandle.resize(2 * library->adapters.size() + 64);
    for (const NicAdapter& adapter : library->adapters) {
        if (adapter.handle < served.adapterByHandle.size()) {
            if (!served.adapterByHandle[adapter.handle]) served.adapterByHandle[adapter.handle] = &adapter;
        } else {
            served.adapters.emplace(adapter.handle, &adapter);
        }
    }
}

bool NicLibraryServed() { return State().library != nullptr; }

std::array<std::size_t, bmapi::kEntryCount> NicLibraryCallCounts() { return State().totals; }

platform::RawProc NicLibraryEntryPoint(const NicLibrary& library, const char* name) {
    for (std::size_t i = 0; i < bmapi::kEntryCount; ++i) {
        if (std::strcmp(bmapi::kEntryNames[i], name) != 0) continue;
        const auto entry = static_cast<Entry>(i);
        const bool missing = std::find(library.missing.begin(), library.missing.end(), entry) != library.missing.end();
        return missing ? nullptr : kEntryPoints[i];
    }
    return nullptr;
}

}  // namespace linkscope::sim
