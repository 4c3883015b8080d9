#include "platform/sim/sim_vendor_library.h"

#include <algorithm>

#include "platform/sim/sim_bmapi.h"

namespace linkscope::sim {
namespace {

constexpr platform::LibraryHandle kLibraryHandle = 0x7FF00000;

}  // namespace

SimVendorLibrary::~SimVendorLibrary() {
    if (loaded_) ServeNicLibrary(nullptr);
}

platform::LibraryLoad SimVendorLibrary::Load(const std::string& /*path*/) {
    const auto& library = machine_->nicLibrary;
    if (!library) return {0, platform::kModuleNotFound};
    if (library->loadError) return {0, *library->loadError};
    ServeNicLibrary(&*library);
    loaded_ = true;
    return {kLibraryHandle, platform::kSuccess};
}

platform::RawProc SimVendorLibrary::Resolve(platform::LibraryHandle library, const char* name) {
    if (!loaded_ || library != kLibraryHandle) return nullptr;
    return NicLibraryEntryPoint(*machine_->nicLibrary, name);
}

void SimVendorLibrary::Release(platform::LibraryHandle library) {
    if (!loaded_ || library != kLibraryHandle) return;
    ServeNicLibrary(nullptr);
    loaded_ = false;
}

std::unique_ptr<std::uint8_t[]> SimVendorLibrary::Allocate(std::size_t bytes) {
    if (machine_->nicLibrary) {
        const auto& failing = machine_->nicLibrary->failAllocation;
        if (std::find(failing.begin(), failing.end(), bytes) != failing.end()) return nullptr;
    }
    return VendorLibraryApi::Allocate(bytes);
}

}  // namespace linkscope::sim
