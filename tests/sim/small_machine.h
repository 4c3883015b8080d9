// A small machine that touches every part of the description format.
#pragma once

#include <memory>

#include "platform/sim/machine_file.h"

namespace linkscope::sim {

inline constexpr char kSmallMachine[] = R"({
  "host": {"hostName": "lab-01", "domainName": "corp.example", "enableProxy": 2},
  "environment": {"Kvl_ExcludeIp": "10.0.0.0/8", "EMPTY": ""},
  "adapters": [
    {"guid": "{A}", "description": "First", "mac": "00:1a:2b:3c:4d:5e", "index": 12,
     "dhcpServer": "10.0.0.1", "wins": ["10.0.0.5"],
     "ipv4": ["10.0.0.7/24", "10.0.1.7/255.255.0.0"], "gateways": ["10.0.0.1"], "dns": ["10.0.0.2", "10.0.0.3"],
     "autoconfig": {"active": true}, "ipv6": "fe80::21a:2bff:fe3c:4d5e",
     "device": {"speedDuplex": {"value": "0", "enum": {"0": "Auto Negotiation", "4": "100Mbps Full"}}}},
    {"guid": "{B}", "index": 3, "type": 71, "mtu": 9000, "operStatus": 2, "deviceName": "\\DEVICE\\CUSTOM",
     "perAdapterResult": 111},
    {"guid": "{C}", "index": 12, "inAdaptersInfo": false, "inInterfaceInfo": false, "inAdaptersAddresses": false}
  ],
  "disabledAdapters": [
    {"guid": "{D}", "driverDesc": "Off", "requestedMediaType": {"value": "6"}, "interfaceClasses": 2}
  ],
  "devices": [{"class": "Display"}],
  "registry": {
    "system\\currentcontrolset\\control\\class\\{4d36e972-e325-11ce-bfc1-08002be10318}\\0000":
      {"DriverDesc": "Renamed", "Flags": 7, "Blob": {"hex": "00ff"}, "Raw": {"type": 1, "hex": "4142"}},
    "SOFTWARE\\Locked": {"@openResult": 5},
    "SOFTWARE\\Unqueryable": {"@queryInfoResult": 1}
  }
})";

inline std::unique_ptr<platform::Platform> SmallPlatform() {
    return MakeSimulatedPlatform(ParseMachine(kSmallMachine, "small.json"));
}

}  // namespace linkscope::sim
