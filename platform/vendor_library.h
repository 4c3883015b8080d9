// Loading a vendor's native library and resolving its functions by name,
// as the Broadcom collector uses the NIC management library. The collector
// calls the resolved functions through their own C ABI (bmapi_abi.h), so a
// backend only loads, resolves and releases.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/result_codes.h"

namespace linkscope::platform {

using LibraryHandle = std::uint64_t;  // opaque; 0 is no library
using RawProc = void (*)();           // cast to the function's own type before a call

struct LibraryLoad {
    LibraryHandle handle = 0;
    ResultCode error = kSuccess;  // the system's last-error code when handle is 0
};

class VendorLibraryApi {
public:
    virtual ~VendorLibraryApi() = default;
    // Loads the library at `path` with the system's ordinary search.
    virtual LibraryLoad Load(const std::string& path) = 0;
    // The function exported under `name`, or null when the library lacks it.
    virtual RawProc Resolve(LibraryHandle library, const char* name) = 0;
    virtual void Release(LibraryHandle library) = 0;
    // `bytes` zeroed bytes for a record handed to the library, or null when
    // they cannot be had.
    virtual std::unique_ptr<std::uint8_t[]> Allocate(std::size_t bytes);
};

// What the current process is.
class ProcessApi {
public:
    virtual ~ProcessApi() = default;
    // True only when the system can tell and says that this process runs as
    // a 32-bit process on a 64-bit system.
    virtual bool RunsUnderWow64() = 0;
};

}  // namespace linkscope::platform
