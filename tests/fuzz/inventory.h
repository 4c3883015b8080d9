// The whole plug-in on one simulated machine, as a host sees it: collect
// once, query every served class, write what was committed as JSON and as
// MOF. The JSON must parse and hold one entry per committed instance.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "collect/adapters_info.h"
#include "platform/sim/machine.h"
#include "teams/teams.h"

namespace linkscope::fuzz {

// Called after the collection, before the queries, to check the model.
using ModelCheck = std::function<void(const AdaptersInfo&, const Teams&)>;

// A machine file of the project's machines/ folder, read once.
const sim::Machine& ProjectMachine(const std::string& fileName);

void CheckInventory(const sim::Machine& machine, const ModelCheck& check = {});

// True when no text of the collected records holds a NUL or is longer
// than `maxLength` bytes.
bool RecordTextsEnd(const AdaptersInfo& adapters, const Teams& teams, std::size_t maxLength);

}  // namespace linkscope::fuzz
