// Machine name and the schema helper's constants.
#include <string>

#include "kvl/core.h"
#include "machine_name.h"

namespace NQRXKVL20 {

namespace {

// Empty while no override is set.
std::string& MachineNameOverride() {
    static std::string name;
    return name;
}

}  // namespace

// The system's answer is read once: the name does not change while the
// host runs, and providers ask for it once per instance.
std::string TOSSpecific::GetMachineName() {
    if (!MachineNameOverride().empty()) return MachineNameOverride();
    static const std::string own = detail::ReadMachineName();
    return own;
}

void TOSSpecific::SetMachineName(const std::string& name) { MachineNameOverride() = name; }

const char* const TCIMSchemaHelper::kContextName = "KVLProviderContext";
const char* const TCIMSchemaHelper::kPluginNSPName = "root/kvl/plugins";

std::string TCIMSchemaHelper::GetSystemCreationClassName(boost::shared_ptr<ICIMNamespace>) {
    return "QRXSG_ComputerSystem";
}

std::string TCIMSchemaHelper::GetSystemName(boost::shared_ptr<ICIMNamespace>) {
    return TOSSpecific::GetMachineName();
}

}  // namespace NQRXKVL20
