// A stand-in for the Broadcom NIC management library, for tests only: a
// DLL that exports the library's entry points with its calling convention
// and answers them from the `nicLibrary` section of the machine file that
// LINKSCOPE_STANDIN_MACHINE names, through the project's own simulation.
// It is not the vendor's library and is never installed under its name.
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

// The simulated entry point behind an export.
template <class Function>
Function Simulated(Entry entry) {
    const linkscope::sim::NicLibrary* library = Library();
    if (library == nullptr) return nullptr;
    return reinterpret_cast<Function>(linkscope::sim::NicLibraryEntryPoint(*library, linkscope::bmapi::NameOf(entry)));
}

template <class Function, class... Args>
U32 Forward(Entry entry, Args... args) {
    const auto function = Simulated<Function>(entry);
    return function ? function(args...) : kNoMachine;
}

}  // namespace

extern "C" {

U32 LINKSCOPE_BMAPI_CALL BmapiGetNumTeam(U32* count) { return Forward<linkscope::bmapi::CountFn>(Entry::GetNumTeam, count); }
U32 LINKSCOPE_BMAPI_CALL BmapiGetAllTeam(void* teams, U32 count) {
    return Forward<linkscope::bmapi::AllTeamFn>(Entry::GetAllTeam, teams, count);
}
U32 LINKSCOPE_BMAPI_CALL BmapiInitialize() { return Forward<linkscope::bmapi::InitializeFn>(Entry::Initialize); }
U32 LINKSCOPE_BMAPI_CALL BmapiUninitialize() { return Forward<linkscope::bmapi::InitializeFn>(Entry::Uninitialize); }
U32 LINKSCOPE_BMAPI_CALL BmapiGetServiceName(U32 handle, char* name, U32 size) {
    return Forward<linkscope::bmapi::ServiceNameFn>(Entry::GetServiceName, handle, name, size);
}
U32 LINKSCOPE_BMAPI_CALL BmapiGetFirmwareInfo(U32 handle, void* record) {
    return Forward<linkscope::bmapi::RecordFn>(Entry::GetFirmwareInfo, handle, record);
}
U32 LINKSCOPE_BMAPI_CALL BmapiGet5706FwInfo(U32 handle, void* record) {
    return Forward<linkscope::bmapi::RecordFn>(Entry::Get5706FwInfo, handle, record);
}
U32 LINKSCOPE_BMAPI_CALL BmapiGet57710FwInfo(U32 handle, void* record) {
    return Forward<linkscope::bmapi::RecordFn>(Entry::Get57710FwInfo, handle, record);
}
U32 LINKSCOPE_BMAPI_CALL BmapiGetASFTable(U32 handle, void* record) {
    return Forward<linkscope::bmapi::RecordFn>(Entry::GetASFTable, handle, record);
}
U32 LINKSCOPE_BMAPI_CALL BmapiInitDiag(U32 handle) { return Forward<linkscope::bmapi::DiagFn>(Entry::InitDiag, handle); }
U32 LINKSCOPE_BMAPI_CALL BmapiUnInitDiag(U32 handle) { return Forward<linkscope::bmapi::DiagFn>(Entry::UnInitDiag, handle); }
U32 LINKSCOPE_BMAPI_CALL BmapiGetNumPhyNicEx(U32* count) {
    return Forward<linkscope::bmapi::CountFn>(Entry::GetNumPhyNicEx, count);
}
U32 LINKSCOPE_BMAPI_CALL BmapiGetAllPhyNicHandles(U32* handles, U32 count) {
    return Forward<linkscope::bmapi::AllHandlesFn>(Entry::GetAllPhyNicHandles, handles, count);
}
U32 LINKSCOPE_BMAPI_CALL BmapiGetBrcmVirNic(U32 handle, void* record) {
    return Forward<linkscope::bmapi::RecordFn>(Entry::GetBrcmVirNic, handle, record);
}
U32 LINKSCOPE_BMAPI_CALL BmapiGetPhyNic(U32 handle, void* record) {
    return Forward<linkscope::bmapi::RecordFn>(Entry::GetPhyNic, handle, record);
}
U32 LINKSCOPE_BMAPI_CALL BmapiGetBRCMNicInfoEx(U32 handle, void* record) {
    return Forward<linkscope::bmapi::RecordFn>(Entry::GetBRCMNicInfoEx, handle, record);
}
U32 LINKSCOPE_BMAPI_CALL BmapiGetVbdEnumInfo(U32 handle, void* record) {
    return Forward<linkscope::bmapi::RecordFn>(Entry::GetVbdEnumInfo, handle, record);
}

}  // extern "C"
