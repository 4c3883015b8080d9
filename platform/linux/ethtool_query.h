// What a driver says of its interface: its name through the ethtool ioctl,
// and its current link speed and duplex from one link-modes dump of the
// kernel's ethtool family, or, on a kernel without that family, through
// one or two ioctls per interface.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/linux/kernel_records.h"
#include "platform/linux/unique_fd.h"

namespace linkscope::live {

// Asks the drivers of interfaces for their names (one ioctl each) on a
// thread of its own, as the interfaces are handed to it, so that the
// questions run while the caller goes on reading the kernel's tables.
// Take's caller asks what is still queued beside that thread, and every
// question where no thread can be started. Uses a socket of its own, apart
// from any EthtoolQuery.
class DriverNames {
public:
    DriverNames();
    DriverNames(const DriverNames&) = delete;
    DriverNames& operator=(const DriverNames&) = delete;
    ~DriverNames();

    // Queues the interfaces links[from], links[from + 1], ... for asking.
    void Add(const std::vector<LinkRecord>& links, std::size_t from);
    // Forgets the interfaces queued so far and their answers.
    void Restart();
    // Waits for the answers: the driver's name of each interface queued
    // since the last restart, in order, empty where no driver answered.
    std::vector<std::string> Take();

private:
    void AskQueued();

    UniqueFd fd_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::vector<std::string> names_;    // interface names, in the order queued
    std::vector<std::string> drivers_;  // the answers, one per name
    std::size_t next_ = 0;              // the first name not yet asked
    unsigned restarts_ = 0;             // an answer to a name queued before a restart is dropped
    bool closed_ = false;               // nothing more will be queued
    std::thread thread_;
};

class EthtoolQuery {
public:
    EthtoolQuery();

    // The link settings of the interface; the driver's name is left empty
    // (DriverNames). A question the driver does not answer leaves its
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
