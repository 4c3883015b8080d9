// The operating system's own link aggregation: bonds, team devices, VLANs
// and the interfaces enslaved to them, as plain data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace linkscope::platform {

// How a bond reports one of its slaves.
enum class SlaveState {
    kUnknown,  // no state reported (not a bond slave, or a team port)
    kActive,   // carries traffic
    kBackup,   // stands by until an active slave fails
};

// One network interface with what the kernel says of its role. Interfaces
// refer to each other by name; a reference the system could not resolve
// (a lower device in another namespace) is empty.
struct KernelLink {
    std::string name;
    std::string kind;       // "bond", "team", "vlan", "bridge", "veth", …; empty for a plain device
    std::string master;     // the interface it is enslaved to, else empty
    std::string slaveKind;  // that master's kind as the slave sees it ("bond", "team", "bridge")
    std::optional<std::uint8_t> bondMode;  // a bond's mode, when reported
    SlaveState slaveState = SlaveState::kUnknown;
    std::optional<std::uint16_t> vlanId;  // a VLAN's id, when reported
    std::uint16_t vlanProtocol = 0;       // a VLAN's tag protocol (0x8100, 0x88A8), 0 when not reported
    std::string parent;                   // a VLAN's lower interface
};

}  // namespace linkscope::platform
