#include "platform/linux/kernel_links_view.h"

#include <unordered_map>

namespace linkscope::live {
namespace {

platform::SlaveState SlaveStateOf(const std::optional<std::uint8_t>& state) {
    if (state == kBondSlaveActive) return platform::SlaveState::kActive;
    if (state == kBondSlaveBackup) return platform::SlaveState::kBackup;
    return platform::SlaveState::kUnknown;
}

}  // namespace

std::vector<platform::KernelLink> KernelLinksOf(const std::vector<LinkRecord>& links) {
    std::unordered_map<std::uint32_t, const std::string*> names;
    names.reserve(links.size());
    for (const LinkRecord& link : links) names.emplace(link.index, &link.name);
    const auto nameOf = [&names](std::uint32_t index) {
        const auto it = index == 0 ? names.end() : names.find(index);
        return it == names.end() ? std::string() : *it->second;
    };

    std::vector<platform::KernelLink> result;
    result.reserve(links.size());
    for (const LinkRecord& link : links) {
        platform::KernelLink entry;
        entry.name = link.name;
        entry.kind = link.kind;
        entry.master = nameOf(link.master);
        entry.slaveKind = link.slaveKind;
        entry.bondMode = link.bondMode;
        entry.slaveState = SlaveStateOf(link.slaveState);
        entry.vlanId = link.vlanId;
        entry.vlanProtocol = link.vlanProtocol;
        if (link.kind == "vlan") entry.parent = nameOf(link.lowerLink);
        result.push_back(std::move(entry));
    }
    return result;
}

}  // namespace linkscope::live
