// The Broadcom collector's physical-adapter phase.
#include <memory>
#include <string>

#include "collect/log.h"
#include "collect/speed_duplex.h"
#include "teams/broadcom/collection.h"
#include "teams/broadcom/record_layout.h"
#include "teams/teams.h"

namespace linkscope::bmapi {
namespace {

namespace field = adapter_field;

// The team-source name of a device is its service name after this prefix.
constexpr char kDevicePrefix[] = "\\DEVICE\\TCPIP_";
// Adapter types of the second generation are reported as type 4.
constexpr U32 kSecondFunctionType = 4;

std::uint64_t SpeedOf(U32 code) {
    switch (code) {
        case 1: return 10'000'000;
        case 2: return 100'000'000;
        case 3: return 1'000'000'000;
        case 4: return 2'500'000'000;
        case 5: return 10'000'000'000;
        default: return 0;
    }
}

// Types below 100 are the library's own; 100 to 104 are later models of
// type 4; 105 and above are not reported.
void SetNicType(PhysicalNetworkAdapter& adapter, U32 type) {
    if (type < 100) {
        adapter.SetNicType(static_cast<std::int32_t>(type));
    } else if (type <= 104) {
        adapter.SetNicType(4);
    }
}

// The record that describes the adapter: its own, or for an adapter of
// type 4 the record of its second function.
LibraryRecord AdapterRecordOf(NicLibrary& library, U32 handle) {
    LibraryRecord record(kAdapterRecord);
    if (const U32 code = library.GetRecord(Entry::GetPhyNic, handle, record); code != kSuccess) {
        LogCode("Unable to get BmapiGetPhyNic for Physical NIC - RC: ", code);
    }
    if (record.View().U32(field::kType) != kSecondFunctionType) return record;
    library.Resolve(Entry::GetVbdEnumInfo);
    LibraryRecord second(kSecondFunctionRecord);
    if (const U32 code = library.GetRecord(Entry::GetVbdEnumInfo, handle, second); code != kSuccess) {
        LogCode("Unable to get BmapiGetVbdEnumInfo for Physical NIC for 5706 series- RC: ", code);
    }
    record = LibraryRecord(kAdapterRecord);
    const U32 secondHandle = second.View().U32(kSecondFunctionHandleField);
    if (const U32 code = library.GetRecord(Entry::GetPhyNic, secondHandle, record); code != kSuccess) {
        LogCode("Unable to get BmapiGetPhyNic for Physical NIC for 5706 series- RC: ", code);
    }
    return record;
}

void CollectAdapter(NicLibrary& library, WorkBuffers& buffers, U32 handle, AdaptersInfo& adapters) {
    const LibraryRecord adapterRecord = AdapterRecordOf(library, handle);
    const RecordView record = adapterRecord.View();
    const U32 ownHandle = record.U32(field::kHandle);
    LibraryRecord extended(kExtendedRecord);
    if (const U32 code = library.GetRecord(Entry::GetBRCMNicInfoEx, ownHandle, extended); code != kSuccess) {
        LogCode("Unable to get BmapiGetBRCMNicInfoEx for Physical NIC - RC: ", code);
    }
    Teams::DumpAdapterRecord("teams", 529, record);

    auto adapter = std::make_unique<PhysicalNetworkAdapter>();
    adapter->SetVendorName(record.Text(field::kTitle));
    std::string serviceName;
    library.GetServiceName(ownHandle, &serviceName);
    adapter->SetName(serviceName);
    adapter->SetDescription(record.Text(field::kDescription));
    SetNicType(*adapter, record.U32(field::kType));
    adapter->SetLinkTechnology(2);
    TextList addresses;
    if (std::string ip = record.Text(field::kIpAddress); !ip.empty()) {
        addresses.push_back(ip + "/" + NetworkAdapter::MaskToPrefixLength(record.Text(field::kSubnetMask)));
    }
    adapter->SetIPv4AddressList(std::move(addresses));
    const std::string permanentMac = record.Text(field::kPermanentMac);
    adapter->SetMacAddress(permanentMac);
    adapter->SetPermanentAddress(Teams::FormatMacAddress(permanentMac));
    adapter->SetNetworkAddresses({NQRXKVL20::TCIMValue(Teams::FormatMacAddress(record.Text(field::kCurrentMac)))});

    CollectFirmware(library, buffers, handle, record, *adapter);

    if (const U32 code = library.GetServiceName(ownHandle, &serviceName); code == kSuccess) {
        adapter->SetDeviceID(kDevicePrefix + serviceName);
    } else {
        adapter->SetDeviceID(kDevicePrefix);
        adapter->SetName("");
        LogCode("Unable to get service name. - RC: ", code);
    }
    adapter->SetGatewayList({NQRXKVL20::TCIMValue(record.Text(field::kDefaultGateway))});
    adapter->SetDriverLoaded(record.U32(field::kDriverLoaded) == 1);
    adapter->SetDhcpEnabled(record.U32(field::kDhcp) == 1);
    adapter->SetEnabledState(EnabledStateOf(record.U32(field::kAdapterState)));
    adapter->SetSpeed(SpeedOf(record.U32(field::kSpeed)));
    adapter->SetSpeedDuplex(BroadcomSpeedDuplexText(extended.View().U32(kLinkSettingField)));
    if (const U32 teamId = record.U32(field::kTeamId); teamId != 0) {
        adapter->SetInTeam(true);
        adapter->SetMemberType(static_cast<std::int32_t>(record.U32(field::kMemberType) + 1));
        adapter->SetTeamName(record.Text(field::kTeamName));
        adapter->SetMemberTeamID(static_cast<std::int32_t>(teamId));
    }
    adapter->SetOtherIdentifyingInfo(record.Text(field::kDescription));
    Log(kLogDetail, "Added Network Adapter.");
    adapters.AddPhysicalAdapter(adapter.release());
}

}  // namespace

// Without the handle array there is no adapter to ask about: after a
// failed or refused array the loop does not run.
void CollectAdapterPhase(NicLibrary& library, WorkBuffers& buffers, AdaptersInfo& adapters) {
    Log(kLogDetail, "Handling Physical NICs.");
    U32 count = 0;
    if (const U32 code = library.GetNumPhyNicEx(&count); code != kSuccess) {
        LogCode("Unable to get BmapiGetNumPhyNicEx for Physical NIC - RC: ", code);
    }
    LibraryRecord handles =
        AllocateArray(library, count, sizeof(U32), "Unable to allocate memory for Physical NIC handles - count: ");
    bool haveHandles = false;
    if (handles) {
        const U32 code = library.GetAllPhyNicHandles(handles, count);
        if (code != kSuccess) LogCode("Unable to get BmapiGetAllPhyNicHandles for Physical NIC - RC: ", code);
        haveHandles = code == kSuccess;
    }
    library.Resolve(Entry::GetPhyNic);
    library.Resolve(Entry::GetBRCMNicInfoEx);
    if (!haveHandles) return;
    // A signed count, as the library's own callers use it: 2^31 or more
    // adapters is no adapter at all.
    const auto signedCount = static_cast<std::int32_t>(count);
    for (std::int32_t i = 0; i < signedCount; ++i) {
        CollectAdapter(library, buffers, handles.View().U32(sizeof(U32) * static_cast<std::size_t>(i)), adapters);
    }
}

}  // namespace linkscope::bmapi
