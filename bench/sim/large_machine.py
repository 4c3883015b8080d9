#!/usr/bin/env python3
"""Writes a machine description file of COUNT adapters to stdout, shaped as
the inventory benchmark's machines are: every adapter with its registry
device, two IPv4 addresses, one gateway, two DNS servers and one IPv6
address.

    bench/sim/large_machine.py COUNT > machine.json
"""
import sys


def adapter(i):
    net = f"{10 + (i >> 16) % 200}.{(i >> 8) & 0xFF}.{i & 0xFF}"
    mac = "-".join(f"{b:02X}" for b in (0x02, 0x00, (i >> 24) & 0xFF, (i >> 16) & 0xFF, (i >> 8) & 0xFF, i & 0xFF))
    return (
        '    {"guid": "{6B1F2A10-0000-4000-8000-%012X}", "description": "Bench Ethernet Adapter #%d",\n'
        '     "mac": "%s", "index": %d,\n'
        '     "ipv4": ["%s.1/255.255.255.0", "172.16.%d.1/255.255.0.0"], "gateways": ["%s.254"],\n'
        '     "dns": ["10.0.0.53", "10.0.1.53"], "ipv6": "fe80::%x:%x",\n'
        '     "device": {"speedDuplex": {"value": "6", "enum": {"0": "Auto Negotiation", "4": "100Mbps Full", '
        '"6": "1000Mbps Full"}}}}'
        % (i, i, mac, i + 2, net, i & 0xFF, net, (i >> 16) & 0xFFFF, i & 0xFFFF)
    )


def main():
    if len(sys.argv) != 2 or not sys.argv[1].isdigit():
        sys.exit(__doc__.strip())
    count = int(sys.argv[1])
    out = sys.stdout
    out.write('{\n  "host": {"hostName": "bench-host", "domainName": "bench.example"},\n  "adapters": [\n')
    for i in range(count):
        out.write(adapter(i))
        out.write(",\n" if i + 1 < count else "\n")
    out.write("  ]\n}\n")


if __name__ == "__main__":
    main()
