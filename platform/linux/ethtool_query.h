// What a driver says of its interface: its name through the ethtool ioctl,
// and its current link speed and duplex from one link-modes dump of the
// kernel's ethtool family, or, on a kernel without that family, through
// one or two ioctls per interface.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/linux/kernel_records.h"
#include "platform/linux/unique_fd.h"

namespace linkscope::live {

// Writes the names of the interfaces' drivers into `names`, which holds one
// text per link, in the order of `links`; a text stays empty where no
// driver answers. Uses a socket of its own, so it may run on another
// thread than an EthtoolQuery.
void AskDriverNames(const std::vector<LinkRecord>& links, std::vector<std::string>& names);

class EthtoolQuery {
public:
    EthtoolQuery();

    // The link settings of the interface; the driver's name is left empty
    // (AskDriverNames). A question the driver does not answer leaves its
    // fields unknown.
    DeviceDetails Ask(const std::string& interfaceName, std::uint32_t index);

private:
    void ReadLinkSettings(const std::string& interfaceName, DeviceDetails& details);

    UniqueFd fd_;
    // By interface index, when the dump answered.
    std::optional<std::unordered_map<std::uint32_t, LinkModesRecord>> linkModes_;
    // Words of each link-mode bitmap, as the kernel answered the first
    // handshake; 0 until then.
    int linkModeWords_ = 0;
};

}  // namespace linkscope::live
