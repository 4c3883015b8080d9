// The steps of the Broadcom collector, shared by its source files.
#pragma once

#include <vector>

#include "collect/adapters_info.h"
#include "teams/broadcom/nic_library.h"
#include "teams/team_info.h"

namespace linkscope::bmapi {

// The firmware and ASF result areas, held while the library is open and
// reused for every physical adapter.
struct WorkBuffers {
    LibraryRecord firmwareInfo;
    LibraryRecord firmware5706;
    LibraryRecord firmware57710;
    LibraryRecord asfTable;
};

// The enabled state of a library adapter state: up (4) is enabled (2),
// down (5) disabled (3), anything else unknown (0).
inline std::int32_t EnabledStateOf(U32 code) { return code == 4 ? 2 : code == 5 ? 3 : 0; }

// Logs `text` followed by `code` in unsigned decimal, at level 3.
void LogCode(const char* text, U32 code);

// An area for `count` records of `recordSize` bytes. An array that would
// exceed kMaxArrayBytes, or that cannot be had, is refused: it comes back
// empty and `refusal` is logged with the count.
inline constexpr std::size_t kMaxArrayBytes = std::size_t{64} << 20;
LibraryRecord AllocateArray(NicLibrary& library, U32 count, std::size_t recordSize, const char* refusal);

void CollectTeamPhase(NicLibrary& library, std::vector<TeamInfo*>& teams, AdaptersInfo& adapters);
void CollectAdapterPhase(NicLibrary& library, WorkBuffers& buffers, AdaptersInfo& adapters);
// Firmware versions, PCI device id and ASF version of the adapter whose
// handle-array entry is `handle` and whose record is `record`.
void CollectFirmware(NicLibrary& library, WorkBuffers& buffers, U32 handle, const RecordView& record,
                     NetworkAdapter& adapter);

}  // namespace linkscope::bmapi
