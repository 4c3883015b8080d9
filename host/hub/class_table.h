// The classes the stand-in host knows from the start.
#pragma once

namespace NQRXKVL20 {

class TPluginManagerNamespace;

// Defines every class of the host's schema that the plug-ins serve or read,
// each with its key properties in path order.
void DefineHostClasses(TPluginManagerNamespace& ns);

}  // namespace NQRXKVL20
