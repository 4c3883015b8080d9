// Reading the teaming provider section of a machine description.
#pragma once

#include "platform/sim/json_fields.h"
#include "platform/sim/teaming_provider.h"

namespace linkscope::sim {

TeamingProvider ReadTeamingProvider(const Field& field);

}  // namespace linkscope::sim
