// What a driver says of its interface through the ethtool ioctl: its name
// and its current link speed and duplex. Two ioctls per interface at most.
#pragma once

#include <string>

#include "platform/linux/kernel_records.h"
#include "platform/linux/unique_fd.h"

namespace linkscope::live {

class EthtoolQuery {
public:
    EthtoolQuery();

    // The driver and the link settings of `interfaceName`. A question the
    // driver does not answer leaves its fields empty or unknown.
    DeviceDetails Ask(const std::string& interfaceName);

private:
    std::string Driver(const std::string& interfaceName);
    void ReadLinkSettings(const std::string& interfaceName, DeviceDetails& details);

    UniqueFd fd_;
    // Words of each link-mode bitmap, as the kernel answered the first
    // handshake; 0 until then.
    int linkModeWords_ = 0;
};

}  // namespace linkscope::live
