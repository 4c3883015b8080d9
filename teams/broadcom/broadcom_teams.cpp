// The Broadcom collector: opening and closing the NIC management library,
// and the team phase.
#include <string>

#include "collect/log.h"
#include "platform/platform.h"
#include "teams/broadcom/collection.h"
#include "teams/broadcom/record_layout.h"
#include "teams/teams.h"

namespace linkscope {
namespace bmapi {

void LogCode(const char* text, U32 code) { Log(kLogDetail, text + std::to_string(code)); }

LibraryRecord AllocateArray(NicLibrary& library, U32 count, std::size_t recordSize, const char* refusal) {
    const std::size_t bytes = std::size_t{count} * recordSize;
    LibraryRecord array;
    if (bytes <= kMaxArrayBytes) array = LibraryRecord(library.Api().Allocate(bytes), bytes);
    if (!array) LogCode(refusal, count);
    return array;
}

namespace {

// One virtual adapter of a team. `teamMac` is the last hardware address the
// team's earlier virtual adapters reported; one without an address of its
// own takes it over.
VirtualNetworkAdapter* BuildVirtualAdapter(const RecordView& record, std::string& teamMac) {
    namespace field = virtual_nic_field;
    auto* adapter = new VirtualNetworkAdapter();
    adapter->SetVendorName(record.Text(field::kName));
    if (std::string mac = record.Text(field::kMacAddress); !mac.empty()) teamMac = std::move(mac);
    adapter->SetMacAddress(teamMac);
    adapter->SetDriverLoaded(record.U32(field::kDriverState) == 1);
    adapter->SetVlanID(static_cast<std::int32_t>(record.U32(field::kVlanId)));
    adapter->SetVlanName(record.Text(field::kVlanName));
    adapter->SetInTeam(true);
    adapter->SetTeamID(static_cast<std::int32_t>(record.U32(field::kTeamId)));
    TextList addresses;
    if (std::string ip = record.Text(field::kIpAddress); !ip.empty()) {
        addresses.push_back(ip + "/" + NetworkAdapter::MaskToPrefixLength(record.Text(field::kSubnetMask)));
    }
    adapter->SetIPv4AddressList(std::move(addresses));
    adapter->SetEnabledState(EnabledStateOf(record.U32(field::kAdapterState)));
    return adapter;
}

void BuildTeam(NicLibrary& library, const RecordView& record, std::vector<TeamInfo*>& teams,
               AdaptersInfo& adapters) {
    namespace field = team_field;
    auto* team = new TeamInfo();
    team->SetTeamName(record.Text(field::kName));
    team->SetTeamID(record.U32(field::kId));
    team->SetTeamType(record.U32(field::kType));
    teams.push_back(team);

    library.Resolve(Entry::GetBrcmVirNic);
    std::string teamMac;
    const U32 count = record.U32(field::kVirtualAdapterCount);
    if (count > field::kMaxVirtualHandles) {
        Log(kLogDetail, "Broadcom team " + team->GetTeamName() + " reports " + std::to_string(count) +
                            " virtual adapters; its record holds " + std::to_string(field::kMaxVirtualHandles) + ".");
    }
    for (std::size_t k = 0; k < count && k < field::kMaxVirtualHandles; ++k) {
        LibraryRecord nic(kVirtualNicRecord);
        const U32 handle = record.U32(field::kFirstVirtualHandle + field::kVirtualHandleStride * k);
        if (const U32 code = library.GetRecord(Entry::GetBrcmVirNic, handle, nic); code != kSuccess) {
            LogCode("Unable to get BmapiGetBrcmVirNic for Physical NIC - RC: ", code);
        }
        adapters.AddVirtualAdapter(BuildVirtualAdapter(nic.View(), teamMac));
    }
}

}  // namespace

void CollectTeamPhase(NicLibrary& library, std::vector<TeamInfo*>& teams, AdaptersInfo& adapters) {
    Log(kLogDetail, "Handling Teams NICs.");
    U32 count = 0;
    if (const U32 code = library.GetNumTeam(&count); code != kSuccess) {
        LogCode("Unable to get number of Broadcom teams - RC: ", code);
    }
    LibraryRecord array = AllocateArray(library, count, kTeamRecordSize, "Unable to allocate memory for Broadcom teams - count: ");
    if (array) {
        if (const U32 code = library.GetAllTeam(array, count); code != kSuccess) {
            LogCode("Unable to get BmapiGetAllTeam for Physical NIC - RC: ", code);
            array = LibraryRecord();
        }
    }
    if (count == 0) {
        Log(kLogDetail, "No Teams are configured.");
        return;
    }
    if (!array) return;
    for (U32 i = 0; i < count; ++i) {
        const RecordView team(array.Data() + std::size_t{i} * kTeamRecordSize, kTeamRecordSize);
        BuildTeam(library, team, teams, adapters);
    }
}

}  // namespace bmapi

void Teams::CollectBroadcomTeams(AdaptersInfo& adapters) {
    platform::VendorLibraryApi& api = platform::Current().VendorLibrary();
    const platform::LibraryLoad load = api.Load(bmapi::kLibraryPath);
    if (load.handle == 0) {
        bmapi::LogCode("Unable to load BMAPI.dll getlasterror: ", load.error);
        return;
    }
    // Every way out from here releases the library, after uninitialising
    // it once it is initialised.
    bmapi::NicLibrary library(api, load.handle);
    library.ResolveAtStart();
    if (const bmapi::U32 code = library.Initialize(); code != bmapi::kSuccess) {
        bmapi::LogCode("Unable to initialize Broadcom interface - RC: ", code);
        return;
    }

    struct WorkBuffer {
        bmapi::LibraryRecord bmapi::WorkBuffers::*slot;
        std::uint32_t size;
        const char* refusal;
    };
    static constexpr WorkBuffer kWorkBuffers[] = {
        {&bmapi::WorkBuffers::firmwareInfo, bmapi::kFirmwareInfoRecord.size,
         "Unable to allocate memory for Teams firmwareVersion."},
        {&bmapi::WorkBuffers::firmware5706, bmapi::k5706FirmwareRecord.size,
         "Unable to allocate memory for Teams firmwareVersion 5706."},
        {&bmapi::WorkBuffers::firmware57710, bmapi::k57710FirmwareRecord.size,
         "Unable to allocate memory for Teams firmwareVersion 57710."},
        {&bmapi::WorkBuffers::asfTable, bmapi::kAsfTableRecord.size, "Unable to allocate memory for Teams ASFTable."},
    };
    bmapi::WorkBuffers buffers;
    for (const WorkBuffer& buffer : kWorkBuffers) {
        buffers.*buffer.slot = bmapi::LibraryRecord(api.Allocate(buffer.size), buffer.size);
        if (!(buffers.*buffer.slot)) {
            Log(kLogDetail, buffer.refusal);
            return;
        }
    }

    bmapi::CollectTeamPhase(library, teams_, adapters);
    bmapi::CollectAdapterPhase(library, buffers, adapters);
    Log(kLogDetail, "Freeing up allocated memory.");
}

}  // namespace linkscope
