// The NIC management library while the Broadcom collector has it open: its
// resolved entry points, the calls made through them and the records handed
// to them. A function the library does not export is never called: its
// call answers kProcNotFound (127, the system's code for a procedure that
// cannot be found), so the call site logs its own message with that code and
// goes on as after any failure, with its record as preset.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/bmapi_abi.h"
#include "platform/vendor_library.h"
#include "teams/broadcom/record_view.h"

namespace linkscope::bmapi {

// A result area handed to the library: zeroed, then its first field preset
// before each call.
class LibraryRecord {
public:
    LibraryRecord() = default;
    LibraryRecord(std::unique_ptr<std::uint8_t[]> bytes, std::size_t size) : bytes_(std::move(bytes)), size_(size) {}
    // A fresh record of `shape` with its preset written.
    explicit LibraryRecord(const RecordShape& shape);

    explicit operator bool() const { return bytes_ != nullptr; }
    std::uint8_t* Data() { return bytes_.get(); }
    RecordView View() const { return {bytes_.get(), size_}; }
    void PresetU32(std::uint32_t value);
    void PresetByte(std::uint8_t value) { bytes_[0] = value; }

private:
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t size_ = 0;
};

class NicLibrary {
public:
    // Takes over a loaded library; releases it when destroyed, after
    // uninitialising it if Initialize succeeded.
    NicLibrary(platform::VendorLibraryApi& api, platform::LibraryHandle handle);
    NicLibrary(const NicLibrary&) = delete;
    NicLibrary& operator=(const NicLibrary&) = delete;
    ~NicLibrary();

    platform::VendorLibraryApi& Api() { return api_; }

    // Resolves the entry points used from the start, in their order.
    void ResolveAtStart();
    // Resolves (again) one entry point, just before it is needed.
    void Resolve(Entry entry);

    U32 Initialize();
    U32 GetNumTeam(U32* count);
    U32 GetAllTeam(LibraryRecord& teams, U32 count);
    U32 GetNumPhyNicEx(U32* count);
    U32 GetAllPhyNicHandles(LibraryRecord& handles, U32 count);
    // Any call that fills one record for an adapter handle.
    U32 GetRecord(Entry entry, U32 handle, LibraryRecord& record);
    // The adapter's service name, empty unless the call succeeds.
    U32 GetServiceName(U32 handle, std::string* name);
    U32 InitDiag(U32 handle);
    U32 UnInitDiag(U32 handle);

private:
    template <class Function>
    Function Get(Entry entry) const {
        return reinterpret_cast<Function>(entries_[static_cast<std::size_t>(entry)]);
    }

    platform::VendorLibraryApi& api_;
    platform::LibraryHandle handle_;
    std::array<platform::RawProc, kEntryCount> entries_{};
    bool initialized_ = false;
};

}  // namespace linkscope::bmapi
