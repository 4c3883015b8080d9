#include "platform/linux/ethtool_query.h"

#include <climits>
#include <cstring>
#include <string_view>
#include <system_error>

#include "platform/linux/netlink_dump.h"
#include "platform/linux/os_headers.h"

namespace linkscope::live {
namespace {

constexpr std::uint32_t kSpeedUnknown = 0xFFFFFFFF;  // SPEED_UNKNOWN

// The settings and room for the three link-mode bitmaps that follow them
// (supported, advertised, link partner), each at most SCHAR_MAX words.
class LinkSettingsBuffer {
public:
    explicit LinkSettingsBuffer(std::int8_t words) {
        ethtool_link_settings settings{};
        settings.cmd = ETHTOOL_GLINKSETTINGS;
        settings.link_mode_masks_nwords = words;
        std::memcpy(bytes_, &settings, sizeof settings);
    }
    void* Data() { return bytes_; }
    ethtool_link_settings Settings() const {
        ethtool_link_settings settings;
        std::memcpy(&settings, bytes_, sizeof settings);
        return settings;
    }

private:
    alignas(ethtool_link_settings) std::uint8_t bytes_[sizeof(ethtool_link_settings) + 3 * SCHAR_MAX * 4] = {};
};

bool Ioctl(int fd, std::string_view interfaceName, void* data) {
    if (interfaceName.size() >= IFNAMSIZ) return false;
    ifreq request{};
    std::memcpy(request.ifr_name, interfaceName.data(), interfaceName.size());
    request.ifr_data = static_cast<char*>(data);
    return ::ioctl(fd, SIOCETHTOOL, &request) == 0;
}

std::string BoundedText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

// The ioctl reaches the interface through any socket of the namespace; a
// datagram socket of the Internet family is the usual one, a generic
// netlink socket serves where that family is not built in.
UniqueFd IoctlSocket() {
    UniqueFd fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd.IsOpen()) fd = UniqueFd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_GENERIC));
    return fd;
}

}  // namespace

DriverNames::DriverNames() : fd_(IoctlSocket()) {
    try {
        thread_ = std::thread([this] { AskQueued(); });
    } catch (const std::system_error&) {
        // Take asks every question on the caller's thread.
    }
}

DriverNames::~DriverNames() {
    if (thread_.joinable()) Take();
}

void DriverNames::Add(const std::vector<LinkRecord>& links, std::size_t from) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (std::size_t i = from; i < links.size(); ++i) names_.push_back(links[i].name);
        drivers_.resize(names_.size());
    }
    queued_.notify_one();
}

void DriverNames::Restart() {
    const std::lock_guard<std::mutex> lock(mutex_);
    names_.clear();
    drivers_.clear();
    next_ = 0;
    ++restarts_;
}

std::vector<std::string> DriverNames::Take() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
    }
    queued_.notify_one();
    // The caller has nothing else to do meanwhile, so it asks what is still
    // queued beside the thread: with many interfaces the questions fall
    // behind the dump, and most of an ioctl's cost (entering the kernel,
    // finding the interface by name) is not under the lock the kernel
    // serializes them with.
    AskQueued();
    if (thread_.joinable()) thread_.join();
    return std::move(drivers_);
}

// Asks for one queued name at a time, outside the lock, until the queue
// is closed and empty; the thread and, once the queue is closed, Take's
// caller run it side by side. The name is copied out, so that the caller
// may queue more meanwhile; an answer is kept only if no restart came
// between.
void DriverNames::AskQueued() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return next_ < names_.size() || closed_; });
        if (next_ == names_.size()) return;
        const std::size_t at = next_++;
        const unsigned restarts = restarts_;
        char name[IFNAMSIZ] = {};
        const bool fits = names_[at].size() < IFNAMSIZ;
        if (fits) std::memcpy(name, names_[at].data(), names_[at].size());
        lock.unlock();
        ethtool_drvinfo info{};
        info.cmd = ETHTOOL_GDRVINFO;
        const bool answered = fd_.IsOpen() && fits && Ioctl(fd_.Get(), name, &info);
        lock.lock();
        if (answered && restarts == restarts_) drivers_[at] = BoundedText(info.driver, sizeof info.driver);
    }
}

EthtoolQuery::EthtoolQuery() : fd_(IoctlSocket()) {
    if (!fd_.IsOpen()) return;
    if (std::optional<std::vector<LinkModesRecord>> dumped = DumpLinkModes()) {
        linkModes_.emplace();
        linkModes_->reserve(dumped->size());
        for (const LinkModesRecord& record : *dumped) linkModes_->emplace(record.index, record);
    }
}

DeviceDetails EthtoolQuery::Ask(const std::string& interfaceName, std::uint32_t index) {
    DeviceDetails details;
    if (!fd_.IsOpen()) return details;
    if (!linkModes_) {
        ReadLinkSettings(interfaceName, details);
    } else if (const auto found = linkModes_->find(index); found != linkModes_->end()) {
        details.speedMbps = found->second.speedMbps;
        details.duplex = found->second.duplex;
    }
    return details;
}

void EthtoolQuery::ReadLinkSettings(const std::string& interfaceName, DeviceDetails& details) {
    if (linkModeWords_ == 0) {
        // Handshake: asked with no room for the bitmaps, the kernel answers
        // with the number of words it needs, negated. It answers only for a
        // driver that has link settings, so it may take a few interfaces.
        LinkSettingsBuffer handshake(0);
        if (!Ioctl(fd_.Get(), interfaceName, handshake.Data())) return;
        const int words = handshake.Settings().link_mode_masks_nwords;
        if (words >= 0) return;
        linkModeWords_ = -words;
    }
    LinkSettingsBuffer buffer(static_cast<std::int8_t>(linkModeWords_));
    if (!Ioctl(fd_.Get(), interfaceName, buffer.Data())) return;
    const ethtool_link_settings settings = buffer.Settings();
    if (settings.link_mode_masks_nwords <= 0) return;
    if (settings.speed != 0 && settings.speed != kSpeedUnknown) details.speedMbps = settings.speed;
    details.duplex = settings.duplex;
}

}  // namespace linkscope::live
