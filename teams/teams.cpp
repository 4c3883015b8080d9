#include "teams/teams.h"

#include "platform/platform.h"

namespace linkscope {
namespace {

// Where a 32-bit NIC management library on a 64-bit system looks for its mode.
constexpr char kWow64Key[] = "SOFTWARE\\WOW6432NODE\\Broadcom\\BMAPI";
constexpr char kWow64Value[] = "Wow64Mode";

}  // namespace

Teams::Teams() { SetBroadcomWow64Mode(); }

Teams::~Teams() {
    for (TeamInfo* team : teams_) delete team;
}

void Teams::Collect(AdaptersInfo& adapters) {
    CollectBroadcomTeams(adapters);
    CollectIntelTeams(adapters);
    CollectKernelTeams(adapters);
}

// Failures are not reported: the library runs without the value as well.
void Teams::SetBroadcomWow64Mode() {
    platform::Platform& system = platform::Current();
    if (!system.Process().RunsUnderWow64()) return;
    platform::RegistryApi& registry = system.Registry();
    platform::RegKey key = 0;
    if (registry.CreateKey(kWow64Key, platform::kKeyAllAccess, &key) != platform::kSuccess) return;
    registry.SetValue(key, kWow64Value, platform::kRegDword, {1, 0, 0, 0});
    registry.CloseKey(key);
}

}  // namespace linkscope
