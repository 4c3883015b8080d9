// A simulated teaming provider as plain data: the WMI objects it serves in
// its namespace, each with its properties and the result of the queries
// made on its path. The simulated WMI (sim_wmi.h) answers queries from it.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/wmi.h"

namespace linkscope::sim {

// Properties by name, in file order; `__PATH` among them.
using WmiProperties = std::vector<std::pair<std::string, platform::WmiValue>>;

struct WmiVlanService {
    WmiProperties properties;
    platform::WmiResult vlanQueryResult = platform::kWmiOk;
    std::vector<WmiProperties> vlans;
};

struct WmiVirtualAdapter {
    WmiProperties properties;
    platform::WmiResult vlanServiceQueryResult = platform::kWmiOk;
    std::vector<WmiVlanService> vlanServices;
};

struct WmiMember {
    WmiProperties properties;
    platform::WmiResult membershipQueryResult = platform::kWmiOk;
    std::vector<WmiProperties> memberships;
};

struct WmiTeam {
    WmiProperties properties;
    platform::WmiResult virtualAdapterQueryResult = platform::kWmiOk;
    platform::WmiResult memberQueryResult = platform::kWmiOk;
    std::vector<WmiVirtualAdapter> virtualAdapters;
    std::vector<WmiMember> members;
};

struct TeamingProvider {
    bool locator = true;  // false: the system has no WMI locator
    platform::WmiResult connectResult = platform::kWmiOk;
    std::optional<std::string> statusText;  // of a refused connection
    platform::WmiResult teamQueryResult = platform::kWmiOk;
    std::vector<WmiTeam> teams;
};

}  // namespace linkscope::sim
