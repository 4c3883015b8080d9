// Simulated machines of any size for the benchmarks: every adapter with
// its registry device, two IPv4 addresses, one IPv6 address and DNS.
#pragma once

#include <cstdint>
#include <string>

#include "platform/sim/machine.h"

namespace linkscope::bench {

inline sim::Machine LargeMachine(std::uint32_t adapterCount) {
    sim::Machine machine;
    machine.host = {"bench-host", "bench.example", 0, 0};
    machine.adapters.reserve(adapterCount);
    for (std::uint32_t i = 0; i < adapterCount; ++i) {
        const std::uint32_t index = i + 2;
        char guid[64];
        std::snprintf(guid, sizeof guid, "{6B1F2A10-0000-4000-8000-%012X}", static_cast<unsigned>(i));
        sim::Adapter adapter;
        adapter.guid = guid;
        adapter.description = "Bench Ethernet Adapter #" + std::to_string(i);
        adapter.mac = {0x02, 0x00, static_cast<std::uint8_t>(i >> 24), static_cast<std::uint8_t>(i >> 16),
                       static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)};
        adapter.index = index;
        const std::string net = std::to_string(10 + (i >> 16) % 200) + "." + std::to_string((i >> 8) & 0xFF) + "." +
                                std::to_string(i & 0xFF);
        adapter.ipv4 = {{net + ".1", "255.255.255.0"}, {"172.16." + std::to_string(i & 0xFF) + ".1", "255.255.0.0"}};
        adapter.gateways = {net + ".254"};
        adapter.dns = {"10.0.0.53", "10.0.1.53"};
        adapter.ipv6 = std::array<std::uint8_t, 16>{0xfe, 0x80, 0, 0, 0, 0, 0, 0, 0x00, 0x00, 0x00, 0x00,
                                                    static_cast<std::uint8_t>(i >> 24), static_cast<std::uint8_t>(i >> 16),
                                                    static_cast<std::uint8_t>(i >> 8), static_cast<std::uint8_t>(i)};
        sim::NetworkDevice device;
        device.driverDesc = adapter.description;
        device.speedDuplex = sim::DriverSetting{"6", std::vector<std::pair<std::string, std::string>>{
                                                        {"0", "Auto Negotiation"}, {"4", "100Mbps Full"}, {"6", "1000Mbps Full"}}};
        adapter.device = device;
        machine.adapters.push_back(std::move(adapter));
    }
    return machine;
}

// LargeMachine's first adapter, device and all, listed `adapterCount`
// times: every entry has the same name, index and hardware address.
inline sim::Machine IdenticalAdaptersMachine(std::uint32_t adapterCount) {
    sim::Machine machine = LargeMachine(1);
    machine.adapters.assign(adapterCount, machine.adapters.front());
    return machine;
}

// `adapterCount` entries each of three of LargeMachine's adapters: the
// first two listed in turn with one hardware address, so that one record
// is bound to each in turn, the first with a driver whose speed and duplex
// enumeration has `adapterCount` entries, its setting the last; the third
// not listed by IP configuration, each entry with a device of one instance
// id whose interface is linked.
inline sim::Machine RepeatedAdaptersMachine(std::uint32_t adapterCount) {
    sim::Machine machine = LargeMachine(3);
    std::vector<std::pair<std::string, std::string>> choices;
    for (std::uint32_t i = 0; i < adapterCount; ++i) {
        choices.emplace_back(std::to_string(i), "Setting " + std::to_string(i));
    }
    machine.adapters[0].device->speedDuplex = sim::DriverSetting{std::to_string(adapterCount - 1), std::move(choices)};
    machine.adapters[1].mac = machine.adapters[0].mac;
    machine.adapters[2].inAdaptersInfo = false;
    std::vector<sim::Adapter> listed;
    listed.reserve(3 * std::size_t{adapterCount});
    for (std::uint32_t i = 0; i < 2 * adapterCount; ++i) {
        listed.push_back(machine.adapters[i % 2]);
        if (i >= 2) listed.back().device.reset();  // the first of each carries the device
    }
    listed.insert(listed.end(), adapterCount, machine.adapters[2]);
    machine.adapters = std::move(listed);
    return machine;
}

// LargeMachine's adapters all with the first one's hardware address, and
// Broadcom teams of 32 virtual adapters of that address, each named after
// one operating-system adapter's description, in the same order: every
// adapter is bound by address and description among records that all
// share its address.
inline sim::Machine SharedAddressMachine(std::uint32_t adapterCount) {
    sim::Machine machine = LargeMachine(adapterCount);
    std::vector<sim::NicTeam>& teams = machine.nicLibrary.emplace().teams;
    for (std::uint32_t i = 0; i < adapterCount; ++i) {
        sim::Adapter& os = machine.adapters[i];
        os.mac = machine.adapters.front().mac;
        if (i % 32 == 0) {
            sim::NicTeam& team = teams.emplace_back();
            team.id = i / 32 + 1;
            team.name = "Team " + std::to_string(team.id);
        }
        sim::NicTeamVirtualAdapter nic;
        nic.handle = 0x100000 + i;
        nic.name = teams.back().name + " VLAN (" + os.description + ")";
        nic.mac = "020000000000";
        teams.back().virtualAdapters.push_back(std::move(nic));
    }
    return machine;
}

// SharedAddressMachine with every virtual adapter named with one long
// text and the adapters' descriptions distinct pieces of it: every record's
// text contains every description, and each binding leaves a record whose
// text is one description, containing many others.
inline sim::Machine NestedDescriptionsMachine(std::uint32_t adapterCount) {
    sim::Machine machine = SharedAddressMachine(adapterCount);
    std::string text(240, 'a');
    std::uint32_t state = 1;
    for (char& c : text) {
        state = state * 1103515245 + 12345;
        c = static_cast<char>('a' + (state >> 16) % 26);
    }
    std::uint32_t made = 0;
    for (std::size_t length = 20; made < adapterCount && length < text.size(); ++length) {
        for (std::size_t at = 0; made < adapterCount && at + length <= text.size(); ++at) {
            sim::Adapter& os = machine.adapters[made++];
            os.description = text.substr(at, length);
            os.device->driverDesc = os.description;
        }
    }
    for (sim::NicTeam& team : machine.nicLibrary->teams) {
        for (sim::NicTeamVirtualAdapter& nic : team.virtualAdapters) nic.name = text;
    }
    return machine;
}

}  // namespace linkscope::bench

namespace linkscope::bench {

// LargeMachine's adapters, now Broadcom adapters of the NIC management
// library: each is bound to its operating-system adapter by its service
// name. One adapter in ten is in a team of two (adapters 20k and 20k + 1)
// with one virtual adapter; the operating system reports that virtual
// adapter, with the first member's hardware address and description, in
// place of the two members, which it does not see.
inline sim::Machine LargeTeamMachine(std::uint32_t adapterCount) {
    sim::Machine machine = LargeMachine(adapterCount);
    sim::NicLibrary library;
    library.adapters.reserve(adapterCount);
    std::vector<sim::Adapter> seen;
    seen.reserve(adapterCount);
    for (std::uint32_t i = 0; i < adapterCount; ++i) {
        sim::Adapter& os = machine.adapters[i];
        std::string mac;
        for (std::uint8_t byte : os.mac) {
            static const char kHex[] = "0123456789ABCDEF";
            mac += {kHex[byte >> 4], kHex[byte & 15]};
        }
        sim::NicAdapter adapter;
        adapter.handle = i + 1;
        adapter.title = os.description;
        adapter.description = os.description;
        adapter.currentMac = mac;
        adapter.permanentMac = mac;
        adapter.speed = 3;
        adapter.linkSetting = 8;
        adapter.firmware = "5722-v3.38";
        adapter.asf = "2.0.9";
        const bool member = i % 20 < 2;
        adapter.serviceName = member ? "{member-" + std::to_string(i) + "}" : os.guid;
        if (member) {
            adapter.teamId = i / 20 + 1;
            adapter.teamName = "Team " + std::to_string(adapter.teamId);
            adapter.memberType = i % 20;
        }
        if (i % 20 == 0) {
            sim::NicTeam team;
            team.name = adapter.teamName;
            team.id = adapter.teamId;
            sim::NicTeamVirtualAdapter nic;
            nic.handle = 0x100000 + i;
            nic.name = adapter.teamName + " VLAN (" + os.description + ")";
            nic.mac = mac;
            nic.vlanId = 100;
            nic.vlanName = "VLAN100";
            nic.teamId = team.id;
            team.virtualAdapters.push_back(std::move(nic));
            library.teams.push_back(std::move(team));
        }
        library.adapters.push_back(std::move(adapter));
        if (i % 20 != 1) seen.push_back(std::move(os));
    }
    machine.adapters = std::move(seen);
    machine.nicLibrary = std::move(library);
    return machine;
}

}  // namespace linkscope::bench

namespace linkscope::bench {

// Teams of the teaming provider: `memberCount` members in teams of four,
// each team with one virtual adapter that the operating system reports
// (LargeMachine's adapters, one a team).
inline sim::Machine LargeIntelMachine(std::uint32_t memberCount) {
    using Kind = platform::WmiValue::Kind;
    const auto text = [](std::string value) { return platform::WmiValue{Kind::kText, std::move(value), 0}; };
    const auto number = [](std::int64_t value) { return platform::WmiValue{Kind::kInt32, {}, value}; };
    const std::uint32_t teamCount = memberCount / 4;
    sim::Machine machine = LargeMachine(teamCount);
    sim::TeamingProvider provider;
    provider.teams.reserve(teamCount);
    for (std::uint32_t t = 0; t < teamCount; ++t) {
        const std::string id = std::to_string(t + 1);
        const sim::Adapter& os = machine.adapters[t];
        sim::WmiTeam team;
        team.properties = {{"Caption", text("TEAM : " + id)},
                           {"TeamingMode", number(t % 4)},
                           {"__PATH", text("IANet_TeamOfAdapters.Id=\"" + id + "\"")}};
        sim::WmiVirtualAdapter adapter;
        adapter.properties = {{"Name", text("TEAM : " + id + " - Virtual Adapter")},
                              {"Description", text(os.description)},
                              {"MiniPortInstance", text(os.guid)},
                              {"PermanentAddress", text("A0369F" + id)},
                              {"__PATH", text("TeamVirtualAdapter.Id=\"" + id + "\"")}};
        sim::WmiVlanService service;
        service.properties = {{"__PATH", text("IANeT_802dot1QVLANService.Id=\"" + id + "\"")}};
        service.vlans = {{{"VLANName", text("VLAN" + id)}, {"VLANNumber", number(100 + t % 4000)}}};
        adapter.vlanServices.push_back(std::move(service));
        team.virtualAdapters.push_back(std::move(adapter));
        for (std::uint32_t m = 0; m < 4; ++m) {
            const std::string memberId = id + "." + std::to_string(m + 1);
            sim::WmiMember member;
            member.properties = {{"Name", text("Adapter " + memberId)},
                                 {"Description", text("Gigabit Server Adapter")},
                                 {"DeviceID", text("{member-" + memberId + "}")},
                                 {"PermanentAddress", text("A0369F" + memberId)},
                                 {"AdapterStatus", number(3)},
                                 {"HardwareStatus", number(1)},
                                 {"Speed", text("1000000000")},
                                 {"__PATH", text("TeamMember.Id=\"" + memberId + "\"")}};
            member.memberships = {{{"AdapterFunction", number(m + 1)}, {"AdapterStatus", number(m == 0 ? 1 : 2)}}};
            team.members.push_back(std::move(member));
        }
        provider.teams.push_back(std::move(team));
    }
    machine.teamingProvider = std::move(provider);
    return machine;
}

// A machine whose NIC management library holds `memberCount` team members,
// numbered from `firstMember`, in teams of four (team number: member / 4 +
// 1), each team with one virtual adapter. Per team, two members are of
// member type 1 and two of member type 2.
inline sim::Machine TeamLibraryMachine(std::uint32_t memberCount, std::uint32_t firstMember) {
    sim::Machine machine;
    machine.host = {"bench-host", "bench.example", 0, 0};
    sim::NicLibrary& library = machine.nicLibrary.emplace();
    library.adapters.reserve(memberCount);
    for (std::uint32_t i = firstMember; i < firstMember + memberCount; ++i) {
        char mac[16];
        std::snprintf(mac, sizeof mac, "0201%08X", static_cast<unsigned>(i));
        sim::NicAdapter adapter;
        adapter.handle = i - firstMember + 1;
        adapter.title = adapter.description = "Bench Team Member #" + std::to_string(i);
        adapter.currentMac = adapter.permanentMac = mac;
        adapter.serviceName = "{member-" + std::to_string(i) + "}";
        adapter.speed = 3;
        adapter.teamId = i / 4 + 1;
        adapter.teamName = "Team " + std::to_string(adapter.teamId);
        adapter.memberType = (i % 4) / 2;  // library codes 0 and 1: member types 1 and 2
        if (i % 4 == 0 || i == firstMember) {
            sim::NicTeam team;
            team.name = adapter.teamName;
            team.id = adapter.teamId;
            sim::NicTeamVirtualAdapter nic;
            nic.handle = 0x100000 + i;
            nic.name = adapter.teamName + " (Bench Virtual Adapter)";
            nic.mac = mac;
            nic.teamId = team.id;
            team.virtualAdapters.push_back(std::move(nic));
            library.teams.push_back(std::move(team));
        }
        library.adapters.push_back(std::move(adapter));
    }
    return machine;
}

}  // namespace linkscope::bench
