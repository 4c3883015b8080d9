// Host-wide IP parameters: host name, domain name, routing and proxy flags.
#pragma once

#include <cstdint>
#include <string>

namespace linkscope {

class NetworkParams {
public:
    virtual ~NetworkParams() = default;

    // Fills the fields from the platform. A failed call is logged at level 1
    // and leaves the texts empty and the flags 0.
    void Collect();

    std::string GetHostName() const { return HostName; }
    std::string GetDomainName() const { return DomainName; }
    std::uint32_t GetEnableProxy() const { return EnableProxy; }
    std::uint32_t GetEnableRouting() const { return EnableRouting; }
    // Only the flag value 1 means enabled.
    bool IsProxyEnabled() const { return EnableProxy == 1; }
    bool IsRoutingEnabled() const { return EnableRouting == 1; }

private:
    std::string HostName;
    std::string DomainName;
    std::uint32_t EnableProxy = 0;
    std::uint32_t EnableRouting = 0;
};

}  // namespace linkscope
