// The IP Helper interface of a Windows machine: each call made with the
// buffer sizes and retry codes the collectors are written for, its buffer
// turned into plain structs by the conversions of ip_helper_convert.h.
#pragma once

#include "platform/ip_helper.h"
#include "platform/win32/os_resources.h"

namespace linkscope::win32 {

class Win32IpHelper final : public platform::IpHelperApi {
public:
    Win32IpHelper();

    platform::NetworkParamsAnswer GetNetworkParams() override;
    platform::AdaptersAnswer GetAdaptersInfo() override;
    platform::InterfacePairsAnswer GetInterfaceInfo() override;
    platform::InterfaceTableAnswer GetIfTable() override;
    // Every adapter's query goes through one buffer, which keeps the size
    // the last overflow asked for.
    platform::PerAdapterAnswer GetPerAdapterInfo(std::uint32_t index) override;
    // Resolved from iphlpapi.dll at run time; not resolved, the answer says so.
    platform::Ipv6Answer GetAdaptersAddressesIPv6() override;
    platform::OsVersionAnswer GetVersion() override;

private:
    GlobalBlock perAdapter_;
};

}  // namespace linkscope::win32
