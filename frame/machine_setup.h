// How a runner hands a machine description to the simulated plug-in
// library. The library exports one C function under this name; the runner
// calls it after loading the library and before Collect. The product
// library exports nothing of the kind.
#pragma once

#include <cstddef>

namespace linkscope {

inline constexpr char kSimulateMachineFunction[] = "linkscope_simulate_machine";

// Parses the machine description `text` (`length` bytes; `origin` names it
// in messages) and makes the plug-in collect from that machine, with
// KVL_EXCLUDEIP taken from the process when the process has it. Returns
// nullptr on success, else a one-line reason that stays valid until the
// next call.
using SimulateMachineFunction = const char* (*)(const char* text, std::size_t length, const char* origin);

}  // namespace linkscope

#if defined(_WIN32)
#  define LINKSCOPE_EXPORT extern "C" __declspec(dllexport)
#else
#  define LINKSCOPE_EXPORT extern "C" __attribute__((visibility("default")))
#endif
