// The whole plug-in on one simulated machine, as a host sees it: collect
// once, query every served class, write what was committed as JSON and as
// MOF. The JSON must parse and hold one entry per committed instance.
#pragma once

#include <string>
#include <vector>

#include "fuzz_input.h"
#include "platform/sim/machine.h"

namespace linkscope::fuzz {

// A machine file of the project's machines/ folder, read once.
const sim::Machine& ProjectMachine(const std::string& fileName);

// With `maxText`, also checks that no text of the collected records holds
// a NUL or is longer than `maxText` bytes.
void CheckInventory(const sim::Machine& machine, std::size_t maxText = 0);

// One of the machine files `bases` picked by the input, up to 64 changes
// read from the input, each made by `change`, then the inventory of the
// result.
void CheckChangedMachine(const std::uint8_t* data, std::size_t size, const std::vector<std::string>& bases,
                         void (*change)(FuzzInput&, sim::Machine&), std::size_t maxText);

}  // namespace linkscope::fuzz
