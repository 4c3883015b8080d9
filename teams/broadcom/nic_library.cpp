#include "teams/broadcom/nic_library.h"

#include "platform/result_codes.h"

namespace linkscope::bmapi {

LibraryRecord::LibraryRecord(const RecordShape& shape)
    : bytes_(std::make_unique<std::uint8_t[]>(shape.size)), size_(shape.size) {
    PresetU32(shape.preset);
}

void LibraryRecord::PresetU32(std::uint32_t value) {
    for (std::size_t i = 0; i < 4 && i < size_; ++i) bytes_[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

NicLibrary::NicLibrary(platform::VendorLibraryApi& api, platform::LibraryHandle handle) : api_(api), handle_(handle) {}

NicLibrary::~NicLibrary() {
    if (initialized_) {
        if (auto uninitialize = Get<InitializeFn>(Entry::Uninitialize)) uninitialize();
    }
    api_.Release(handle_);
}

void NicLibrary::ResolveAtStart() {
    for (std::size_t i = 0; i < kEntriesResolvedAtStart; ++i) Resolve(static_cast<Entry>(i));
}

void NicLibrary::Resolve(Entry entry) {
    entries_[static_cast<std::size_t>(entry)] = api_.Resolve(handle_, NameOf(entry));
}

U32 NicLibrary::Initialize() {
    const auto initialize = Get<InitializeFn>(Entry::Initialize);
    const U32 code = initialize ? initialize() : platform::kProcNotFound;
    initialized_ = code == kSuccess;
    return code;
}

U32 NicLibrary::GetNumTeam(U32* count) {
    const auto call = Get<CountFn>(Entry::GetNumTeam);
    return call ? call(count) : platform::kProcNotFound;
}

U32 NicLibrary::GetAllTeam(LibraryRecord& teams, U32 count) {
    const auto call = Get<AllTeamFn>(Entry::GetAllTeam);
    return call ? call(teams.Data(), count) : platform::kProcNotFound;
}

U32 NicLibrary::GetNumPhyNicEx(U32* count) {
    const auto call = Get<CountFn>(Entry::GetNumPhyNicEx);
    return call ? call(count) : platform::kProcNotFound;
}

U32 NicLibrary::GetAllPhyNicHandles(LibraryRecord& handles, U32 count) {
    const auto call = Get<AllHandlesFn>(Entry::GetAllPhyNicHandles);
    return call ? call(reinterpret_cast<U32*>(handles.Data()), count) : platform::kProcNotFound;
}

U32 NicLibrary::GetRecord(Entry entry, U32 handle, LibraryRecord& record) {
    const auto call = Get<RecordFn>(entry);
    return call ? call(handle, record.Data()) : platform::kProcNotFound;
}

U32 NicLibrary::GetServiceName(U32 handle, std::string* name) {
    name->clear();
    const auto call = Get<ServiceNameFn>(Entry::GetServiceName);
    if (!call) return platform::kProcNotFound;
    char buffer[kServiceNameChars] = {};
    const U32 code = call(handle, buffer, kServiceNameChars);
    if (code == kSuccess) *name = RecordView(reinterpret_cast<const std::uint8_t*>(buffer), sizeof buffer).Text({0, sizeof buffer});
    return code;
}

U32 NicLibrary::InitDiag(U32 handle) {
    const auto call = Get<DiagFn>(Entry::InitDiag);
    return call ? call(handle) : platform::kProcNotFound;
}

U32 NicLibrary::UnInitDiag(U32 handle) {
    const auto call = Get<DiagFn>(Entry::UnInitDiag);
    return call ? call(handle) : platform::kProcNotFound;
}

}  // namespace linkscope::bmapi
