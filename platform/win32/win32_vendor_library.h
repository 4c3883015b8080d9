// Run-time linking of a vendor library and the process's WOW64 status on a
// Windows machine.
#pragma once

#include "platform/vendor_library.h"

namespace linkscope::win32 {

class Win32VendorLibrary final : public platform::VendorLibraryApi {
public:
    platform::LibraryLoad Load(const std::string& path) override;
    platform::RawProc Resolve(platform::LibraryHandle library, const char* name) override;
    void Release(platform::LibraryHandle library) override;
};

class Win32Process final : public platform::ProcessApi {
public:
    // Asks IsWow64Process, looked up by name in kernel32 since older
    // systems lack it.
    bool RunsUnderWow64() override;
};

}  // namespace linkscope::win32
