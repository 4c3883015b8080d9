// Host name of a POSIX machine.
#include <unistd.h>

#include "machine_name.h"

namespace NQRXKVL20::detail {

std::string ReadMachineName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return std::string();
    return name;
}

}  // namespace NQRXKVL20::detail
