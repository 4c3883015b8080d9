#include "platform/linux/host_parameters.h"

namespace linkscope::live {

platform::FixedInfo FixedInfoOf(const HostFacts& facts) {
    platform::FixedInfo info;
    const auto dot = facts.hostName.find('.');
    info.hostName = facts.hostName.substr(0, dot);
    info.domainName = dot == std::string::npos ? facts.resolverDomain : facts.hostName.substr(dot + 1);
    info.enableRouting = facts.ipv4Forwarding.value_or(false) ? 1 : 0;
    return info;
}

}  // namespace linkscope::live
