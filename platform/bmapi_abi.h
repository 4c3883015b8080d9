// The C ABI of the Broadcom NIC management library: its seventeen entry
// points, their signatures and the result codes they answer. Records are
// raw byte areas whose first field the caller presets; the library fills
// the rest. Every handle is a 32-bit number the library hands out.
#pragma once

#include <array>
#include <cstdint>

#if defined(_WIN32)
#define LINKSCOPE_BMAPI_CALL __stdcall
#else
#define LINKSCOPE_BMAPI_CALL
#endif

namespace linkscope::bmapi {

using U32 = std::uint32_t;

// The path the library is loaded from: the plug-in's own sub-directory.
inline constexpr char kLibraryPath[] = "linkscope//BMAPI.dll";

inline constexpr U32 kSuccess = 0;
// BmapiGetASFTable: the adapter is not configured for ASF.
inline constexpr U32 kAsfNotConfigured = 57;

extern "C" {
using CountFn = U32(LINKSCOPE_BMAPI_CALL*)(U32* count);                     // GetNumTeam, GetNumPhyNicEx
using AllTeamFn = U32(LINKSCOPE_BMAPI_CALL*)(void* teams, U32 count);       // GetAllTeam
using AllHandlesFn = U32(LINKSCOPE_BMAPI_CALL*)(U32* handles, U32 count);   // GetAllPhyNicHandles
using InitializeFn = U32(LINKSCOPE_BMAPI_CALL*)();                          // Initialize, Uninitialize
using ServiceNameFn = U32(LINKSCOPE_BMAPI_CALL*)(U32 handle, char* name, U32 size);
using RecordFn = U32(LINKSCOPE_BMAPI_CALL*)(U32 handle, void* record);      // every Get...Info call
using DiagFn = U32(LINKSCOPE_BMAPI_CALL*)(U32 handle);                      // InitDiag, UnInitDiag
}

// The entry points, in the order the collector resolves them: the first
// thirteen when the library is opened, the other four where they are used.
enum class Entry : std::size_t {
    GetNumTeam,
    GetAllTeam,
    Initialize,
    Uninitialize,
    GetServiceName,
    GetFirmwareInfo,
    Get5706FwInfo,
    Get57710FwInfo,
    GetASFTable,
    InitDiag,
    UnInitDiag,
    GetNumPhyNicEx,
    GetAllPhyNicHandles,
    GetBrcmVirNic,
    GetPhyNic,
    GetBRCMNicInfoEx,
    GetVbdEnumInfo,
};
inline constexpr std::size_t kEntryCount = 17;
inline constexpr std::size_t kEntriesResolvedAtStart = 13;

inline constexpr std::array<const char*, kEntryCount> kEntryNames = {
    "BmapiGetNumTeam",      "BmapiGetAllTeam",     "BmapiInitialize",     "BmapiUninitialize",
    "BmapiGetServiceName",  "BmapiGetFirmwareInfo", "BmapiGet5706FwInfo", "BmapiGet57710FwInfo",
    "BmapiGetASFTable",     "BmapiInitDiag",       "BmapiUnInitDiag",     "BmapiGetNumPhyNicEx",
    "BmapiGetAllPhyNicHandles", "BmapiGetBrcmVirNic", "BmapiGetPhyNic",   "BmapiGetBRCMNicInfoEx",
    "BmapiGetVbdEnumInfo",
};

inline constexpr const char* NameOf(Entry entry) { return kEntryNames[static_cast<std::size_t>(entry)]; }

// Result areas: their sizes and the value preset in their first field.
struct RecordShape {
    std::uint32_t size;
    std::uint32_t preset;
};
inline constexpr RecordShape kVirtualNicRecord{1020, 9};
inline constexpr RecordShape kAdapterRecord{1236, 14};
inline constexpr RecordShape kSecondFunctionRecord{32, 3};
inline constexpr RecordShape kExtendedRecord{208, 12};
inline constexpr RecordShape kFirmwareInfoRecord{612, 6};
inline constexpr RecordShape k5706FirmwareRecord{484, 5};
inline constexpr RecordShape k57710FirmwareRecord{516, 3};
// Only the first byte of the ASF table is preset.
inline constexpr RecordShape kAsfTableRecord{1604, 8};
inline constexpr std::uint32_t kTeamRecordSize = 30316;
inline constexpr std::uint32_t kServiceNameChars = 128;

}  // namespace linkscope::bmapi
