// Adapter teams and VLANs from the vendors' teaming sources and the
// operating system's own.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "collect/adapters_info.h"
#include "teams/broadcom/record_view.h"
#include "teams/team_info.h"

namespace linkscope {

class Teams {
public:
    // An empty team list; then, in a 32-bit process on a 64-bit system, the
    // NIC management library's WOW64 registry value is written.
    Teams();
    Teams(const Teams&) = delete;
    Teams& operator=(const Teams&) = delete;
    // Deletes every team record it holds.
    virtual ~Teams();

    // Gathers the teams of every vendor source, the Broadcom library's first,
    // then the operating system's own bonds and teams, adding their member
    // and virtual adapters to `adapters`. Each source logs its own
    // failures; nothing is reported.
    void Collect(AdaptersInfo& adapters);

    // The teams in the order they were found.
    std::vector<TeamInfo*> GetTeams() const { return teams_; }

    // Teams, team virtual adapters and physical adapters with their firmware
    // from the Broadcom NIC management library, if it can be loaded.
    void CollectBroadcomTeams(AdaptersInfo& adapters);
    // Teams, virtual adapters and members from the Intel teaming provider.
    void CollectIntelTeams(AdaptersInfo& adapters);
    // Bonds and team devices, their slaves and every VLAN interface from
    // the system's kernel links.
    void CollectKernelTeams(AdaptersInfo& adapters);

    // Bare hex digits to pairs joined by ":" ("001A2B" gives "00:1A:2B"),
    // letters kept as they are. An empty text stays empty; an odd last
    // digit stands alone as the last group.
    static std::string FormatMacAddress(const std::string& bare);
    // A library version text fit to report: its first line, without spaces
    // around it, up to any carriage return; empty when any character is not
    // a printable ASCII letter, digit, blank or punctuation; every "v" right
    // before a digit removed ("5708c v1.9.6" gives "5708c 1.9.6").
    static std::string CleanVersionText(std::string text);
    // Cuts one version text, given in both `after` and `before`, at its
    // last-but-one separator ("-" if it has one, else " "): `after` keeps
    // what follows it, `before` what precedes it. "5708c 1.9.6" gives "1.9.6"
    // and "5708c"; "X-Y-Z" gives "Z" and "X-Y". No separator: no change.
    static void SplitVersionText(std::string& after, std::string& before);
    // Logs the library's record of one physical adapter at level 3, headed
    // by the caller's source name and line.
    static void DumpAdapterRecord(const char* source, std::int32_t line, const bmapi::RecordView& record);

private:
    static void SetBroadcomWow64Mode();

    std::vector<TeamInfo*> teams_;
};

}  // namespace linkscope
