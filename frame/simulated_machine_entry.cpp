// The simulated plug-in library's own part: it collects from a machine
// description that the runner hands over, never from the system it runs on
// (but for the software a description takes from the system).
#include <cstdlib>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <type_traits>

#include "collect/exclusion_switch.h"
#include "frame/machine_setup.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_file.h"

namespace {

using namespace linkscope;

// Until a description arrives the plug-in sees an empty machine.
[[maybe_unused]] const bool emptyMachineInstalled = [] {
    platform::Install(sim::MakeSimulatedPlatform(std::make_shared<const sim::Machine>()));
    return true;
}();

const char* Simulate(const char* text, std::size_t length, const char* origin) {
    static std::string reason;
    try {
        std::map<std::string, std::string> overrides;
        if (const char* exclude = std::getenv(kExcludeIpVariable); exclude != nullptr && *exclude != '\0') {
            overrides[kExcludeIpVariable] = exclude;
        }
        platform::Install(sim::MakeSimulatedPlatform(sim::ParseMachine(std::string(text, length), origin), overrides));
        return nullptr;
    } catch (const std::exception& error) {
        reason = error.what();
        return reason.c_str();
    }
}

}  // namespace

LINKSCOPE_EXPORT const char* linkscope_simulate_machine(const char* text, std::size_t length, const char* origin) {
    static_assert(std::is_same_v<decltype(&linkscope_simulate_machine), SimulateMachineFunction>);
    return Simulate(text, length, origin);
}
