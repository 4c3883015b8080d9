// What a driver says of its interface: its name through the ethtool ioctl,
// and its current link speed and duplex from one link-modes dump of the
// kernel's ethtool family, or, on a kernel without that family, through
// one or two more ioctls per interface.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/linux/kernel_records.h"
#include "platform/linux/unique_fd.h"

namespace linkscope::live {

class EthtoolQuery {
public:
    EthtoolQuery();

    // The driver and the link settings of the interface. A question the
    // driver does not answer leaves its fields empty or unknown.
    DeviceDetails Ask(const std::string& interfaceName, std::uint32_t index);

private:
    std::string Driver(const std::string& interfaceName);
    void ReadLinkSettings(const std::string& interfaceName, DeviceDetails& details);

    UniqueFd fd_;
    // By interface index, when the dump answered.
    std::optional<std::unordered_map<std::uint32_t, LinkModesRecord>> linkModes_;
    // Words of each link-mode bitmap, as the kernel answered the first
    // handshake; 0 until then.
    int linkModeWords_ = 0;
};

}  // namespace linkscope::live
