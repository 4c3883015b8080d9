// The one operating-system question of the core library, answered by a
// per-OS source file that CMake picks.
#pragma once

#include <string>

namespace NQRXKVL20::detail {

// The machine's own host name; empty when the system will not tell.
std::string ReadMachineName();

}  // namespace NQRXKVL20::detail
