#include "platform/sim/kernel_link_fields.h"

#include <unordered_set>

namespace linkscope::sim {
namespace {

constexpr std::size_t kInterfaceNameChars = 15;  // the kernel's limit
constexpr std::size_t kKindChars = 63;
constexpr std::uint32_t kMaxVlanId = 4095;

struct NamedProtocol {
    const char* name;
    std::uint16_t value;
};
constexpr NamedProtocol kVlanProtocols[] = {{"802.1Q", 0x8100}, {"802.1ad", 0x88A8}};

platform::SlaveState ReadSlaveState(const Field& field) {
    const std::string text = field.Text(16);
    if (text == "active") return platform::SlaveState::kActive;
    if (text == "backup") return platform::SlaveState::kBackup;
    field.Fail("expected \"active\" or \"backup\"");
}

std::uint16_t ReadVlanProtocol(const Field& field) {
    const std::string text = field.Text(16);
    for (const NamedProtocol& protocol : kVlanProtocols) {
        if (text == protocol.name) return protocol.value;
    }
    field.Fail("expected \"802.1Q\" or \"802.1ad\"");
}

platform::KernelLink ReadLink(const Field& item) {
    const Record record(item, {"name", "kind", "master", "slaveKind", "bondMode", "slaveState", "vlanId",
                               "vlanProtocol", "parent"});
    platform::KernelLink link;
    const Field name = record.Require("name");
    link.name = name.Text(kInterfaceNameChars);
    if (link.name.empty()) name.Fail("an interface name has 1 to 15 characters");
    record.Read("kind", kKindChars, &link.kind);
    record.Read("master", kInterfaceNameChars, &link.master);
    record.Read("slaveKind", kKindChars, &link.slaveKind);
    if (auto mode = record.Get("bondMode")) {
        const std::uint32_t value = mode->Uint32();
        if (value > 255) mode->Fail("a bonding mode is 0 to 255");
        link.bondMode = static_cast<std::uint8_t>(value);
    }
    if (auto state = record.Get("slaveState")) link.slaveState = ReadSlaveState(*state);
    if (auto id = record.Get("vlanId")) {
        const std::uint32_t value = id->Uint32();
        if (value > kMaxVlanId) id->Fail("a VLAN id is 0 to 4095");
        link.vlanId = static_cast<std::uint16_t>(value);
    }
    if (auto protocol = record.Get("vlanProtocol")) link.vlanProtocol = ReadVlanProtocol(*protocol);
    record.Read("parent", kInterfaceNameChars, &link.parent);
    return link;
}

}  // namespace

// A master or parent must name an interface of the list, as on the system.
std::vector<platform::KernelLink> ReadKernelLinks(const Field& list) {
    std::vector<platform::KernelLink> links;
    std::unordered_set<std::string> names;
    const std::vector<Field> items = list.Items();
    for (const Field& item : items) {
        links.push_back(ReadLink(item));
        if (!names.insert(links.back().name).second) item.Member("name").Fail("the name is already listed");
    }
    for (std::size_t i = 0; i < links.size(); ++i) {
        for (const char* reference : {"master", "parent"}) {
            const std::string& name = reference[0] == 'm' ? links[i].master : links[i].parent;
            if (!name.empty() && names.count(name) == 0) {
                items[i].Member(reference).Fail("no listed interface has this name");
            }
        }
    }
    return links;
}

}  // namespace linkscope::sim
