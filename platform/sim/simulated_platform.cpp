// The simulated platform: each API answers from one Machine.
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/sim/machine.h"
#include "platform/sim/machine_file.h"
#include "platform/sim/machine_layout.h"
#include "platform/sim/sim_ip_helper.h"
#include "platform/sim/sim_vendor_library.h"
#include "platform/sim/sim_wmi.h"
#include "platform/store_registry.h"
#include "platform/text_case.h"

namespace linkscope::sim {
namespace {

// Variables by name in any letter case, as the system looks them up.
class SimEnvironment final : public platform::EnvironmentApi {
public:
    SimEnvironment(const std::map<std::string, std::string>& variables,
                   const std::map<std::string, std::string>& overrides) {
        for (const auto* source : {&variables, &overrides}) {
            for (const auto& [name, value] : *source) variables_[platform::FoldCase(name)] = value;
        }
    }

    std::uint32_t GetVariable(const std::string& name, std::uint32_t bufferSize) override {
        const auto it = variables_.find(platform::FoldCase(name));
        if (it == variables_.end()) return 0;
        const auto length = static_cast<std::uint32_t>(it->second.size());
        if (length == 0) return 0;
        return length < bufferSize ? length : length + 1;
    }

private:
    std::unordered_map<std::string, std::string> variables_;
};

class SimDeviceSetup final : public platform::DeviceSetupApi {
public:
    SimDeviceSetup(bool ok, std::vector<platform::DeviceRecord> devices)
        : ok_(ok), devices_(std::move(devices)) {}

    platform::PresentDevicesAnswer GetPresentDevices() override {
        if (!ok_) return {false, {}};
        return {true, devices_};
    }

private:
    bool ok_;
    std::vector<platform::DeviceRecord> devices_;
};

class SimulatedPlatform final : public platform::Platform {
public:
    SimulatedPlatform(std::shared_ptr<const Machine> machine, MachineLayout layout,
                      const std::map<std::string, std::string>& environmentOverrides)
        : machine_(machine),
          ipHelper_(machine),
          environment_(machine->environment, environmentOverrides),
          deviceSetup_(machine->results.presentDevices, std::move(layout.devices)),
          registry_(std::move(layout.registry)),
          vendorLibrary_(machine),
          process_(machine->wow64),
          wmi_(machine) {
        if (machine->nicLibraryFromSystem || machine->teamingProviderFromSystem) native_ = platform::MakeNativePlatform();
    }

    platform::IpHelperApi& IpHelper() override { return ipHelper_; }
    platform::EnvironmentApi& Environment() override { return environment_; }
    platform::DeviceSetupApi& DeviceSetup() override { return deviceSetup_; }
    platform::RegistryApi& Registry() override { return registry_; }
    platform::VendorLibraryApi& VendorLibrary() override {
        return machine_->nicLibraryFromSystem ? native_->VendorLibrary() : vendorLibrary_;
    }
    platform::ProcessApi& Process() override { return process_; }
    platform::WmiApi& Wmi() override { return machine_->teamingProviderFromSystem ? native_->Wmi() : wmi_; }
    platform::AdapterIdentity AdaptersIdentifiedBy() const override {
        return machine_->kernelLinks ? platform::AdapterIdentity::kDeviceName
                                     : platform::AdapterIdentity::kHardwareAddress;
    }
    std::vector<platform::KernelLink> KernelLinks() override {
        return machine_->kernelLinks.value_or(std::vector<platform::KernelLink>{});
    }

private:
    std::shared_ptr<const Machine> machine_;
    SimIpHelper ipHelper_;
    SimEnvironment environment_;
    SimDeviceSetup deviceSetup_;
    platform::StoreRegistry registry_;
    SimVendorLibrary vendorLibrary_;
    SimProcess process_;
    SimWmi wmi_;
    std::unique_ptr<platform::Platform> native_;  // only for software the machine takes from the system
};

}  // namespace

std::unique_ptr<platform::Platform> MakeSimulatedPlatform(std::shared_ptr<const Machine> machine) {
    return MakeSimulatedPlatform(std::move(machine), {});
}

std::unique_ptr<platform::Platform> MakeSimulatedPlatform(
    std::shared_ptr<const Machine> machine, std::map<std::string, std::string> environmentOverrides) {
    MachineLayout layout = LayOutMachine(*machine);
    return std::make_unique<SimulatedPlatform>(std::move(machine), std::move(layout), environmentOverrides);
}

}  // namespace linkscope::sim
