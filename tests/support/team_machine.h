// Test support: team collection on a simulated NIC management library, and
// the collected records as text.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/record_text.h"
#include "support/sim_machine.h"
#include "teams/teams.h"

namespace linkscope::testing {

struct TeamCollection {
    std::unique_ptr<Teams> teams;
    std::unique_ptr<AdaptersInfo> adapters;
    std::vector<std::string> log;  // level 3, in order
};

// Runs the Broadcom collector on `machine`.
inline TeamCollection CollectTeams(const sim::Machine& machine) {
    ScopedMachine installed(machine);
    TeamCollection collected{std::make_unique<Teams>(), std::make_unique<AdaptersInfo>(), {}};
    collected.teams->CollectBroadcomTeams(*collected.adapters);
    collected.log = LoggedAt(3);
    return collected;
}

inline TeamCollection CollectTeams(const sim::NicLibrary& library) {
    sim::Machine machine;
    machine.nicLibrary = library;
    return CollectTeams(machine);
}

// A physical adapter of the library, changed by `edit`.
inline sim::NicAdapter NicAdapter(std::uint32_t handle, const std::function<void(sim::NicAdapter&)>& edit = {}) {
    sim::NicAdapter adapter;
    adapter.handle = handle;
    adapter.serviceName = "{S" + std::to_string(handle) + "}";
    if (edit) edit(adapter);
    return adapter;
}

// A library holding `adapters`.
inline sim::NicLibrary LibraryOf(std::vector<sim::NicAdapter> adapters) {
    sim::NicLibrary library;
    library.adapters = std::move(adapters);
    return library;
}

// What the Broadcom collector writes on a physical record.
inline std::string TeamMemberText(const PhysicalNetworkAdapter& a) {
    return a.GetVendorName() + " | " + a.GetName() + " " + a.GetDeviceID() + " '" + a.GetDescription() + "' type " +
           std::to_string(a.GetNicType()) + " mac " + a.GetMacAddress() + " " + a.GetPermanentAddress() + " hw " +
           Joined(a.GetNetworkAddresses()) + " ipv4 " + Joined(a.GetIPv4AddressList()) + " gw " +
           Joined(a.GetGatewayList()) + " dhcp " + std::to_string(a.GetDhcpEnabled()) + " driver " +
           std::to_string(a.GetDriverLoaded()) + " state " + std::to_string(a.GetEnabledState()) + " link " +
           std::to_string(a.GetLinkTechnology()) + " speed " + std::to_string(a.GetSpeed()) + " '" +
           a.GetSpeedDuplex() + "' team " + std::to_string(a.GetInTeam()) + "/" + std::to_string(a.GetMemberType()) +
           "/" + a.GetTeamName() + "/" + std::to_string(a.GetMemberTeamID()) + " fw " + a.GetFirmwareVersion() + "|" +
           a.GetSecondFirmwareVersion() + "|" + a.GetPCIDeviceID() + "|" + a.GetASFFirmwareVersion();
}

}  // namespace linkscope::testing
