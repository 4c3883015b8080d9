#include <string>

#include "inventory.h"
#include "platform/sim/machine_file.h"
#include "targets.h"

namespace linkscope::fuzz {

void MachineFileTarget(const std::uint8_t* data, std::size_t size) {
    std::shared_ptr<const sim::Machine> machine;
    try {
        machine = sim::ParseMachine(std::string(reinterpret_cast<const char*>(data), size), "fuzz.json");
    } catch (const sim::MachineFileError&) {
        return;  // a clear refusal is a good answer
    }
    CheckInventory(*machine);
}

}  // namespace linkscope::fuzz
