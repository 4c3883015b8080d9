// Machine name and the schema helper's constants.
#include <string>

#include "kvl/core.h"
#include "machine_name.h"

namespace NQRXKVL20 {

namespace {

const char* const kSystemClass = "QRXSG_ComputerSystem";

TCIMPropertyMap SchemaContext() {
    TCIMPropertyMap context;
    context[TCIMSchemaHelper::kContextName] = TCIMValue(TCIMSchemaHelper::kPluginNSPName);
    return context;
}

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

// Both helpers look the system class up in the caller's namespace, so a
// namespace that does not know it (or a null one) fails here, in the
// caller's guard, rather than later.
std::string TCIMSchemaHelper::GetSystemCreationClassName(boost::shared_ptr<ICIMNamespace> ns) {
    return ns->GetClass(kSystemClass, SchemaContext())->GetName(TCIMPropertyMap());
}

std::string TCIMSchemaHelper::GetSystemName(boost::shared_ptr<ICIMNamespace> ns) {
    ns->GetClass(kSystemClass, SchemaContext());
    return TOSSpecific::GetMachineName();
}

}  // namespace NQRXKVL20
