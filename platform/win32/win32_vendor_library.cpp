#include "platform/win32/win32_vendor_library.h"

#include <cstdint>

#include "platform/win32/windows_api.h"

namespace linkscope::win32 {
namespace {

HMODULE ModuleOf(platform::LibraryHandle library) {
    return reinterpret_cast<HMODULE>(static_cast<std::uintptr_t>(library));
}

}  // namespace

platform::LibraryLoad Win32VendorLibrary::Load(const std::string& path) {
    const HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr) return {0, static_cast<platform::ResultCode>(GetLastError())};
    return {static_cast<platform::LibraryHandle>(reinterpret_cast<std::uintptr_t>(module)), platform::kSuccess};
}

platform::RawProc Win32VendorLibrary::Resolve(platform::LibraryHandle library, const char* name) {
    return reinterpret_cast<platform::RawProc>(GetProcAddress(ModuleOf(library), name));
}

void Win32VendorLibrary::Release(platform::LibraryHandle library) { FreeLibrary(ModuleOf(library)); }

bool Win32Process::RunsUnderWow64() {
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleA("kernel32");
    if (kernel == nullptr) return false;
    // Through the generic function type, which any function pointer may be cast to and back.
    const auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
        reinterpret_cast<platform::RawProc>(GetProcAddress(kernel, "IsWow64Process")));
    if (isWow64 == nullptr) return false;
    BOOL wow64 = FALSE;
    return isWow64(GetCurrentProcess(), &wow64) && wow64;
}

}  // namespace linkscope::win32
