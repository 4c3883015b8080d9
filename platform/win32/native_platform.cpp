// The live backend of a Windows machine: the real IP Helper, SetupAPI,
// registry and environment calls, run-time linking of vendor libraries, WMI.
#include "platform/platform.h"
#include "platform/win32/win32_device_setup.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_ip_helper.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_vendor_library.h"
#include "platform/win32/win32_wmi.h"

namespace linkscope::platform {
namespace {

class WindowsPlatform final : public Platform {
public:
    IpHelperApi& IpHelper() override { return ipHelper_; }
    EnvironmentApi& Environment() override { return environment_; }
    DeviceSetupApi& DeviceSetup() override { return devices_; }
    RegistryApi& Registry() override { return registry_; }
    VendorLibraryApi& VendorLibrary() override { return vendorLibrary_; }
    ProcessApi& Process() override { return process_; }
    WmiApi& Wmi() override { return wmi_; }

private:
    win32::Win32IpHelper ipHelper_;
    win32::Win32Environment environment_;
    win32::Win32DeviceSetup devices_;
    win32::Win32Registry registry_;
    win32::Win32VendorLibrary vendorLibrary_;
    win32::Win32Process process_;
    win32::Win32Wmi wmi_;
};

}  // namespace

std::unique_ptr<Platform> MakeNativePlatform() { return std::make_unique<WindowsPlatform>(); }

}  // namespace linkscope::platform
