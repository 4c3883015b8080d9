// Test support: install a simulated machine as the process's platform for
// the length of one test, and read what the collectors logged.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kvl/root.h"
#include "platform/platform.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_file.h"

namespace linkscope::testing {

// Installs `machine` on construction, restores the previous platform and
// clears the core logger on destruction.
class ScopedMachine {
public:
    explicit ScopedMachine(const sim::Machine& machine)
        : previous_(platform::Install(sim::MakeSimulatedPlatform(std::make_shared<sim::Machine>(machine)))) {
        NQRXKVL20::TRootObject::CoreLogger().Clear();
    }
    ScopedMachine(const ScopedMachine&) = delete;
    ScopedMachine& operator=(const ScopedMachine&) = delete;
    ~ScopedMachine() {
        platform::Install(std::move(previous_));
        NQRXKVL20::TRootObject::CoreLogger().Clear();
    }

private:
    std::unique_ptr<platform::Platform> previous_;
};

// The logged texts of one level, in order.
inline std::vector<std::string> LoggedAt(int level) {
    std::vector<std::string> texts;
    for (const NQRXKVL20::TLogEntry& entry : NQRXKVL20::TRootObject::CoreLogger().Entries()) {
        if (entry.level == level) texts.push_back(entry.text);
    }
    return texts;
}

// A machine with nothing but an environment.
inline sim::Machine MachineWithEnvironment(const std::string& name, const std::string& value) {
    sim::Machine machine;
    machine.environment[name] = value;
    return machine;
}

}  // namespace linkscope::testing
