// The simulated NIC management library's entry points: C functions of the
// vendor's signatures that build real records from a NicLibrary. They serve
// one library at a time, the one last given to ServeNicLibrary.
#pragma once

#include "platform/sim/nic_library.h"
#include "platform/vendor_library.h"

namespace linkscope::sim {

// Starts serving `library` (null: stops). Call counters start again.
void ServeNicLibrary(const NicLibrary* library);

// The simulated function exported under `name`, or null for a name the
// library does not have (or marks missing).
platform::RawProc NicLibraryEntryPoint(const NicLibrary& library, const char* name);

}  // namespace linkscope::sim
