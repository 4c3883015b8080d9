#include "frame/backend_choice.h"

#include <cstdlib>
#include <map>
#include <string>

#include "collect/exclusion_switch.h"
#include "collect/log.h"
#include "platform/sim/machine_file.h"

namespace linkscope {

void UseBackendChosenByHost() {
    const char* path = std::getenv(kMachineFileVariable);
    if (path == nullptr || *path == '\0') return;
    std::map<std::string, std::string> overrides;
    if (const char* exclude = std::getenv(kExcludeIpVariable); exclude && *exclude) {
        overrides[kExcludeIpVariable] = exclude;
    }
    try {
        platform::Install(sim::MakeSimulatedPlatform(sim::LoadMachineFile(path), overrides));
    } catch (const sim::MachineFileError& error) {
        Log(kLogFailure, error.what());
        throw;
    }
}

}  // namespace linkscope
