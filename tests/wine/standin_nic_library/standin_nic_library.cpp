// A test-only stand-in for the Broadcom NIC management library: its entry
// points, answered from the `nicLibrary` section of the machine file that
// LINKSCOPE_STANDIN_MACHINE names, through the project's own simulation.
#include <cstdlib>
#include <memory>

#include "platform/bmapi_abi.h"
#include "platform/sim/machine.h"
#include "platform/sim/machine_file.h"
#include "platform/sim/sim_bmapi.h"

namespace {

using linkscope::bmapi::Entry;
using linkscope::bmapi::U32;

// Answered when the machine file cannot be read or has no library.
constexpr U32 kNoMachine = 1;

// The machine, read on the first call; null when it cannot be read.
const linkscope::sim::NicLibrary* Library() {
    static const std::shared_ptr<const linkscope::sim::Machine> machine = [] {
        const char* path = std::getenv("LINKSCOPE_STANDIN_MACHINE");
        std::shared_ptr<const linkscope::sim::Machine> loaded;
        try {
            if (path != nullptr) loaded = linkscope::sim::LoadMachineFile(path);
        } catch (const linkscope::sim::MachineFileError&) {
        }
        if (loaded && loaded->nicLibrary) linkscope::sim::ServeNicLibrary(&*loaded->nicLibrary);
        return loaded;
    }();
    return machine && machine->nicLibrary ? &*machine->nicLibrary : nullptr;
}

// Calls the simulated entry point behind an export.
template <class Function, class... Args>
U32 Forward(Entry entry, Args... args) {
    const linkscope::sim::NicLibrary* library = Library();
    const auto function = library ? reinterpret_cast<Function>(linkscope::sim::NicLibraryEntryPoint(
                                        *library, linkscope::bmapi::NameOf(entry)))
                                  : nullptr;
    return function ? function(args...) : kNoMachine;
}

}  // namespace

// Each export forwards its arguments to the simulated entry point of its name.
#define FORWARD(entry, type, params, ...) \
    U32 LINKSCOPE_BMAPI_CALL Bmapi##entry params { return Forward<linkscope::bmapi::type>(Entry::entry, ##__VA_ARGS__); }
#define FORWARD_RECORD(entry) FORWARD(entry, RecordFn, (U32 handle, void* record), handle, record)

extern "C" {

FORWARD(GetNumTeam, CountFn, (U32 * count), count)
FORWARD(GetAllTeam, AllTeamFn, (void* teams, U32 count), teams, count)
FORWARD(Initialize, InitializeFn, ())
FORWARD(Uninitialize, InitializeFn, ())
FORWARD(GetServiceName, ServiceNameFn, (U32 handle, char* name, U32 size), handle, name, size)
FORWARD(InitDiag, DiagFn, (U32 handle), handle)
FORWARD(UnInitDiag, DiagFn, (U32 handle), handle)
FORWARD(GetNumPhyNicEx, CountFn, (U32 * count), count)
FORWARD(GetAllPhyNicHandles, AllHandlesFn, (U32 * handles, U32 count), handles, count)
FORWARD_RECORD(GetFirmwareInfo)
FORWARD_RECORD(Get5706FwInfo)
FORWARD_RECORD(Get57710FwInfo)
FORWARD_RECORD(GetASFTable)
FORWARD_RECORD(GetBrcmVirNic)
FORWARD_RECORD(GetPhyNic)
FORWARD_RECORD(GetBRCMNicInfoEx)
FORWARD_RECORD(GetVbdEnumInfo)

}  // extern "C"
