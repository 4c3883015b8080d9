// Computer name of a Windows machine.
#include <windows.h>

#include "machine_name.h"

namespace NQRXKVL20::detail {

std::string ReadMachineName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameA(name, &size)) return std::string();
    return std::string(name, size);
}

}  // namespace NQRXKVL20::detail
