// The simulated NIC management library's entry points: C functions of the
// vendor's signatures that build real records from a NicLibrary. They serve
// one library at a time, the one last given to ServeNicLibrary.
#pragma once

#include <array>
#include <cstddef>

#include "platform/sim/nic_library.h"
#include "platform/vendor_library.h"

namespace linkscope::sim {

// Starts serving `library` with every call counter at 0; null stops
// serving and keeps the counts for NicLibraryCallCounts.
void ServeNicLibrary(const NicLibrary* library);
// Whether a library is being served (loaded and not yet released).
bool NicLibraryServed();
// How often each entry point was called, in the order of bmapi::Entry,
// since a library was last served.
std::array<std::size_t, bmapi::kEntryCount> NicLibraryCallCounts();

// The simulated function exported under `name`, or null for a name the
// library does not have (or marks missing).
platform::RawProc NicLibraryEntryPoint(const NicLibrary& library, const char* name);

}  // namespace linkscope::sim
