// The vendor-library and process APIs of a simulated machine.
#pragma once

#include <memory>

#include "platform/sim/machine.h"
#include "platform/vendor_library.h"

namespace linkscope::sim {

// Loads the machine's NIC management library whatever the path: with no
// library in the machine file, loading fails with 126, as the system
// answers for a missing module.
class SimVendorLibrary final : public platform::VendorLibraryApi {
public:
    explicit SimVendorLibrary(std::shared_ptr<const Machine> machine) : machine_(std::move(machine)) {}
    ~SimVendorLibrary() override;

    platform::LibraryLoad Load(const std::string& path) override;
    platform::RawProc Resolve(platform::LibraryHandle library, const char* name) override;
    void Release(platform::LibraryHandle library) override;
    // Fails for the sizes the machine file lists.
    std::unique_ptr<std::uint8_t[]> Allocate(std::size_t bytes) override;

private:
    std::shared_ptr<const Machine> machine_;
    bool loaded_ = false;
};

class SimProcess final : public platform::ProcessApi {
public:
    explicit SimProcess(bool wow64) : wow64_(wow64) {}
    bool RunsUnderWow64() override { return wow64_; }

private:
    bool wow64_;
};

}  // namespace linkscope::sim
