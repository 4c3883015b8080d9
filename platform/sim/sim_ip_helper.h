// IP Helper answers built from a machine's adapters, in file order. Every
// address chain holds at least its embedded first entry, filled as the
// system fills it when there is nothing to report.
#pragma once

#include <memory>
#include <unordered_map>

#include "platform/ip_helper.h"
#include "platform/sim/machine.h"

namespace linkscope::sim {

class SimIpHelper final : public platform::IpHelperApi {
public:
    explicit SimIpHelper(std::shared_ptr<const Machine> machine);

    platform::NetworkParamsAnswer GetNetworkParams() override;
    platform::AdaptersAnswer GetAdaptersInfo() override;
    platform::InterfacePairsAnswer GetInterfaceInfo() override;
    platform::InterfaceTableAnswer GetIfTable() override;
    // The first adapter with that index answers; an unknown index is an
    // invalid parameter.
    platform::PerAdapterAnswer GetPerAdapterInfo(std::uint32_t index) override;
    platform::Ipv6Answer GetAdaptersAddressesIPv6() override;
    platform::OsVersionAnswer GetVersion() override;

private:
    std::shared_ptr<const Machine> machine_;
    std::unordered_map<std::uint32_t, const Adapter*> byIndex_;
};

}  // namespace linkscope::sim
