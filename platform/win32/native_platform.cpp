// Placeholder live backend: every call reports that it is not supported,
// so collection logs its failures and the inventory stays empty.
#include "platform/platform.h"

namespace linkscope::platform {
namespace {

class UnsupportedIpHelper : public IpHelperApi {
public:
    NetworkParamsAnswer GetNetworkParams() override { return {kNotSupported, {}}; }
    AdaptersAnswer GetAdaptersInfo() override { return {kNotSupported, {}}; }
    InterfacePairsAnswer GetInterfaceInfo() override { return {kNotSupported, {}}; }
    InterfaceTableAnswer GetIfTable() override { return {kNotSupported, {}}; }
    PerAdapterAnswer GetPerAdapterInfo(std::uint32_t) override { return {kNotSupported, 0, 0, {}}; }
    Ipv6Answer GetAdaptersAddressesIPv6() override { return {false, kNotSupported, {}}; }
    OsVersionAnswer GetVersion() override { return {}; }
};

class EmptyEnvironment : public EnvironmentApi {
public:
    std::uint32_t GetVariable(const std::string&, std::uint32_t) override { return 0; }
};

class NoDevices : public DeviceSetupApi {
public:
    PresentDevicesAnswer GetPresentDevices() override { return {false, {}}; }
};

class NoRegistry : public RegistryApi {
public:
    ResultCode OpenKey(const std::string&, std::uint32_t, RegKey*) override { return kFileNotFound; }
    void CloseKey(RegKey) override {}
    ResultCode QueryInfoKey(RegKey, std::uint32_t*, std::uint32_t*) override { return kInvalidHandle; }
    ResultCode EnumKey(RegKey, std::uint32_t, std::uint32_t, std::string*) override { return kInvalidHandle; }
    RegValue QueryValue(RegKey, const std::string&, std::uint32_t) override { return {kInvalidHandle, kRegNone, {}, 0}; }
    RegEnumValue EnumValue(RegKey, std::uint32_t, std::uint32_t, std::uint32_t) override {
        return {kInvalidHandle, {}, {}};
    }
};

class UnsupportedPlatform : public Platform {
public:
    IpHelperApi& IpHelper() override { return ipHelper_; }
    EnvironmentApi& Environment() override { return environment_; }
    DeviceSetupApi& DeviceSetup() override { return devices_; }
    RegistryApi& Registry() override { return registry_; }

private:
    UnsupportedIpHelper ipHelper_;
    EmptyEnvironment environment_;
    NoDevices devices_;
    NoRegistry registry_;
};

}  // namespace

std::unique_ptr<Platform> MakeNativePlatform() { return std::make_unique<UnsupportedPlatform>(); }

}  // namespace linkscope::platform
