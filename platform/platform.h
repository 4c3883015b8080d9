// The set of platform APIs one backend provides, and the process-wide
// choice of backend that the collectors read through.
#pragma once

#include <memory>
#include <vector>

#include "platform/adapter_identity.h"
#include "platform/device_registry.h"
#include "platform/environment.h"
#include "platform/ip_helper.h"
#include "platform/kernel_links.h"
#include "platform/vendor_library.h"
#include "platform/wmi.h"

namespace linkscope::platform {

class Platform {
public:
    virtual ~Platform() = default;
    virtual IpHelperApi& IpHelper() = 0;
    virtual EnvironmentApi& Environment() = 0;
    virtual DeviceSetupApi& DeviceSetup() = 0;
    virtual RegistryApi& Registry() = 0;
    virtual VendorLibraryApi& VendorLibrary() = 0;
    virtual ProcessApi& Process() = 0;
    virtual WmiApi& Wmi() = 0;
    // What identifies an adapter on this system; the hardware-address rule
    // unless the backend states otherwise.
    virtual AdapterIdentity AdaptersIdentifiedBy() const { return AdapterIdentity::kHardwareAddress; }
    // The system's own bonds, team devices and VLANs with every interface,
    // in the system's order; empty where the system has none to tell of.
    // Asked once per collection, before the adapter list.
    virtual std::vector<KernelLink> KernelLinks() { return {}; }
    // Told once a collection has read all it needs: what a backend fetched
    // for it can go. A later call starts from a fresh fetch.
    virtual void CollectionFinished() {}
};

// The installed backend. Before any Install, the machine's own backend
// (MakeNativePlatform) is installed on first use.
Platform& Current();
// Replaces the installed backend; returns the previous one.
std::unique_ptr<Platform> Install(std::unique_ptr<Platform> platform);

// The real operating system's backend of this build.
std::unique_ptr<Platform> MakeNativePlatform();

}  // namespace linkscope::platform
