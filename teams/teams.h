// Adapter teams and VLANs from the vendors' teaming sources.
#pragma once

#include <vector>

#include "collect/adapters_info.h"

namespace linkscope {

class TeamInfo;

class Teams {
public:
    Teams() = default;
    Teams(const Teams&) = delete;
    Teams& operator=(const Teams&) = delete;
    virtual ~Teams() = default;

    // Gathers the teams of every vendor source, adding their member and
    // virtual adapters to `adapters`. No vendor source is wired in yet.
    void Collect(AdaptersInfo& adapters) { (void)adapters; }

    std::vector<TeamInfo*> GetTeams() const { return teams_; }

private:
    std::vector<TeamInfo*> teams_;
};

}  // namespace linkscope
