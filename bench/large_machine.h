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

}  // namespace linkscope::bench
