// The platform APIs of a Linux machine: IP configuration from the kernel's
// tables, network devices and their registry from the interfaces' drivers.
#include <cstdlib>
#include <utility>

#include "platform/linux/device_view.h"
#include "platform/linux/host_parameters.h"
#include "platform/linux/ip_helper_view.h"
#include "platform/linux/kernel_links_view.h"
#include "platform/linux/live_platform.h"
#include "platform/linux/snapshot_fetch.h"
#include "platform/store_registry.h"

namespace linkscope::live {
namespace {

// The snapshot of the current collection and the two views built from it,
// each built when first asked for, until the collection says it is done.
class SnapshotViews {
public:
    explicit SnapshotViews(std::function<NetworkSnapshot()> fetch) : fetch_(std::move(fetch)) {}

    void Refresh() {
        Release();
        snapshot_ = std::make_shared<const NetworkSnapshot>(fetch_());
    }

    // Lets go of the snapshot and its views; the next question fetches anew.
    // Registry keys still open keep the tree they were opened in.
    void Release() {
        ipHelper_.reset();
        registry_.reset();
        snapshot_.reset();
        taken_ = false;
    }

    // A collection asks for the kernel's links first and for the adapter
    // list next: both are answered from one snapshot, so that team records
    // and adapters describe the same moment.
    void TakeForCollection() {
        Refresh();
        taken_ = true;
    }
    void RefreshUnlessTaken() {
        if (!taken_) Refresh();
        taken_ = false;
    }

    const NetworkSnapshot& Snapshot() {
        if (!snapshot_) Refresh();
        return *snapshot_;
    }

    const IpHelperView& IpHelper() {
        if (!ipHelper_) {
            Snapshot();
            ipHelper_.emplace(snapshot_);
        }
        return *ipHelper_;
    }

    std::shared_ptr<const platform::RegistryTree> Registry() {
        if (!registry_) {
            Snapshot();
            registry_ = DeviceRegistry(snapshot_);
        }
        return registry_;
    }

private:
    std::function<NetworkSnapshot()> fetch_;
    std::shared_ptr<const NetworkSnapshot> snapshot_;
    std::optional<IpHelperView> ipHelper_;
    std::shared_ptr<const platform::RegistryTree> registry_;
    bool taken_ = false;  // the next adapter list reuses the current snapshot
};

class LiveIpHelper final : public platform::IpHelperApi {
public:
    LiveIpHelper(SnapshotViews& views, std::function<HostFacts()> host) : views_(views), host_(std::move(host)) {}

    platform::NetworkParamsAnswer GetNetworkParams() override { return {platform::kSuccess, FixedInfoOf(host_())}; }
    platform::AdaptersAnswer GetAdaptersInfo() override {
        views_.RefreshUnlessTaken();
        return views_.IpHelper().Adapters();
    }
    platform::InterfacePairsAnswer GetInterfaceInfo() override { return views_.IpHelper().Pairs(); }
    platform::InterfaceTableAnswer GetIfTable() override { return views_.IpHelper().Table(); }
    platform::PerAdapterAnswer GetPerAdapterInfo(std::uint32_t index) override {
        return views_.IpHelper().PerAdapter(index);
    }
    platform::Ipv6Answer GetAdaptersAddressesIPv6() override { return views_.IpHelper().Ipv6(); }
    // The version asks whether the system predates IPv6 address queries;
    // no Linux does, and its kernel release numbers would be misread as an
    // answer, so the question stays unanswered and the IPv6 step runs.
    platform::OsVersionAnswer GetVersion() override { return {}; }

private:
    SnapshotViews& views_;
    std::function<HostFacts()> host_;
};

class LiveDeviceSetup final : public platform::DeviceSetupApi {
public:
    explicit LiveDeviceSetup(SnapshotViews& views) : views_(views) {}

    // Without an interface list there is no device list either.
    platform::PresentDevicesAnswer GetPresentDevices() override {
        if (views_.Snapshot().linkError != 0) return {false, {}};
        return {true, PresentDevices(views_.Snapshot())};
    }

private:
    SnapshotViews& views_;
};

class LiveEnvironment final : public platform::EnvironmentApi {
public:
    explicit LiveEnvironment(std::function<std::optional<std::string>(const std::string&)> read)
        : read_(std::move(read)) {}

    std::uint32_t GetVariable(const std::string& name, std::uint32_t bufferSize) override {
        const std::optional<std::string> value = read_(name);
        if (!value || value->empty()) return 0;
        const auto length = static_cast<std::uint32_t>(value->size());
        return length < bufferSize ? length : length + 1;
    }

private:
    std::function<std::optional<std::string>(const std::string&)> read_;
};

// Vendor NIC libraries are Windows libraries: loading one answers as the
// system does for a module that is not there.
class NoVendorLibrary final : public platform::VendorLibraryApi {
public:
    platform::LibraryLoad Load(const std::string&) override { return {0, platform::kModuleNotFound}; }
    platform::RawProc Resolve(platform::LibraryHandle, const char*) override { return nullptr; }
    void Release(platform::LibraryHandle) override {}
};

class NativeProcess final : public platform::ProcessApi {
public:
    bool RunsUnderWow64() override { return false; }
};

// No teaming provider answers on Linux: its namespace does not exist, as
// on a Windows host without the software.
class NoTeamingWmi final : public platform::WmiApi {
public:
    void InitializeCom() override {}
    void UninitializeCom() override {}
    std::unique_ptr<platform::WmiLocator> CreateLocator() override {
        return std::make_unique<platform::NamespaceMissingLocator>();
    }
};

class LivePlatform final : public platform::Platform {
public:
    explicit LivePlatform(LiveSources sources)
        : views_(std::move(sources.network)),
          ipHelper_(views_, std::move(sources.host)),
          environment_(std::move(sources.environment)),
          devices_(views_),
          registry_([this] { return views_.Registry(); }) {}

    platform::IpHelperApi& IpHelper() override { return ipHelper_; }
    platform::EnvironmentApi& Environment() override { return environment_; }
    platform::DeviceSetupApi& DeviceSetup() override { return devices_; }
    platform::RegistryApi& Registry() override { return registry_; }
    platform::VendorLibraryApi& VendorLibrary() override { return vendorLibrary_; }
    platform::ProcessApi& Process() override { return process_; }
    platform::WmiApi& Wmi() override { return wmi_; }
    // An interface name is unique in its namespace, while a bridge and its
    // ports, a VLAN and its parent or a bond and its slaves share one
    // hardware address: each of them is an adapter of its own.
    platform::AdapterIdentity AdaptersIdentifiedBy() const override { return platform::AdapterIdentity::kDeviceName; }
    std::vector<platform::KernelLink> KernelLinks() override {
        views_.TakeForCollection();
        return KernelLinksOf(views_.Snapshot().links);
    }
    // Nothing of the snapshot is asked for again until the next collection:
    // the collected model holds what the queries read.
    void CollectionFinished() override { views_.Release(); }

private:
    SnapshotViews views_;
    LiveIpHelper ipHelper_;
    LiveEnvironment environment_;
    LiveDeviceSetup devices_;
    platform::StoreRegistry registry_;
    NoVendorLibrary vendorLibrary_;
    NativeProcess process_;
    NoTeamingWmi wmi_;
};

}  // namespace

LiveSources SystemSources() {
    return {FetchNetworkSnapshot, FetchHostFacts, [](const std::string& name) -> std::optional<std::string> {
                const char* value = std::getenv(name.c_str());
                if (value == nullptr) return std::nullopt;
                return std::string(value);
            }};
}

std::unique_ptr<platform::Platform> MakeLivePlatform(LiveSources sources) {
    return std::make_unique<LivePlatform>(std::move(sources));
}

}  // namespace linkscope::live

namespace linkscope::platform {

std::unique_ptr<Platform> MakeNativePlatform() { return live::MakeLivePlatform(live::SystemSources()); }

}  // namespace linkscope::platform
