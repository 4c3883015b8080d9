// How the host process picks the backend the plug-in collects from.
#pragma once

namespace linkscope {

// Name of the variable through which a host asks for a simulated machine:
// its value is the path of a machine description file.
inline constexpr char kMachineFileVariable[] = "KVLHOST_MACHINE";

// When the host process names a machine file, installs that simulated
// machine (with KVL_EXCLUDEIP taken from the process when the process has
// it); otherwise leaves the installed backend alone, which is the live
// machine unless a test installed another. Throws std::runtime_error when
// the named file cannot be used.
void UseBackendChosenByHost();

}  // namespace linkscope
