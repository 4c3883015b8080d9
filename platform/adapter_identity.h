// What binds an operating-system adapter to an adapter record that was
// made before it was enumerated.
#pragma once

namespace linkscope::platform {

enum class AdapterIdentity {
    // The device name, or else the hardware address under the team rules
    // of AdaptersInfo::FindAdapter: where a team's virtual adapter carries
    // its members' address and records may be made before their device
    // names are known.
    kHardwareAddress,
    // The device name alone: names are unique on the system, while
    // adapters may share a hardware address (a bridge and its ports, VLANs
    // on their parent, a bond's slaves).
    kDeviceName,
};

}  // namespace linkscope::platform
