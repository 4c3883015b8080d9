// One adapter team as a vendor source reports it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace linkscope {

class TeamInfo {
public:
    TeamInfo() = default;
    TeamInfo(const TeamInfo&) = delete;
    TeamInfo& operator=(const TeamInfo&) = delete;
    virtual ~TeamInfo() = default;

    std::string GetTeamName() const { return TeamName; }
    void SetTeamName(std::string value) { TeamName = std::move(value); }
    // The team's number: the vendor library's own identifier for its teams,
    // 400 + position for the teaming provider's, 1000000 + position for
    // the operating system's own.
    std::uint32_t GetTeamID() const { return TeamID; }
    void SetTeamID(std::uint32_t value) { TeamID = value; }
    // The teaming mode as a source-specific code.
    std::uint32_t GetTeamType() const { return TeamType; }
    void SetTeamType(std::uint32_t value) { TeamType = value; }

private:
    std::string TeamName;
    std::uint32_t TeamID = 0;
    std::uint32_t TeamType = 0;
};

}  // namespace linkscope
