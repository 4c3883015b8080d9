// The live backend of a Linux machine, assembled from its sources, so that
// tests can hand it snapshots made by hand instead of the kernel's.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/linux/kernel_records.h"
#include "platform/platform.h"

namespace linkscope::live {

struct LiveSources {
    std::function<NetworkSnapshot()> network;
    std::function<HostFacts()> host;
    // The variable's value, or nothing when it is not set.
    std::function<std::optional<std::string>(const std::string&)> environment;
};

// The running system: the kernel, the system's files, the process's
// environment.
LiveSources SystemSources();

// A network snapshot is taken when the adapter list is asked for, which
// starts every collection, and the interface, address, device and registry
// answers that follow come from that same snapshot (any of them asked
// first takes one). Host parameters are read on every call.
std::unique_ptr<platform::Platform> MakeLivePlatform(LiveSources sources);

}  // namespace linkscope::live
