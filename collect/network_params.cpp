#include "collect/network_params.h"

#include "collect/log.h"
#include "platform/platform.h"

namespace linkscope {

void NetworkParams::Collect() {
    platform::NetworkParamsAnswer answer = platform::Current().IpHelper().GetNetworkParams();
    if (answer.result != platform::kSuccess) {
        Log(kLogFailure, Format("Call to GetNetworkParams failed. Return Value: %08x\n", answer.result));
        // The fields then come from a zero-filled buffer.
        answer.info = platform::FixedInfo{};
    }
    HostName = answer.info.hostName;
    DomainName = answer.info.domainName;
    EnableRouting = answer.info.enableRouting;
    EnableProxy = answer.info.enableProxy;
}

}  // namespace linkscope
