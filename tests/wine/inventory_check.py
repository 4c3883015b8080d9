#!/usr/bin/env python3
"""Checks of kvlhost.exe run under Wine against an independent source.

    inventory_check.py CHECK    (one of the names in CHECKS, each described there)

Runs in the Wine prefix that WINEPREFIX names; KVLHOST is the runner's
path, REGISTRY_FIXTURE the fixture writer's, MACHINES the folder of
machine description files. Exit status 0 on success, 1 on a mismatch
(each one printed), 77 when the check cannot run here: no mount namespace
for a resolver file of its own, or a plug-in that builds no port
instances at all.
"""
import json
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from inventory_text import DEVICE_PREFIX, ip_json, ipv6_text, of_class  # noqa: E402

SKIP = 77
GUID = re.compile(r"^\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}$", re.IGNORECASE)
DISABLED_ID = "{5C0F1D2E-7A31-4B8E-9D44-2F6E0B1A3C77}"
DISABLED_DESCRIPTION = "Fixture disabled adapter"
EXAMPLE = os.path.join(os.environ.get("MACHINES", "machines"), "example.json")
mismatches = []


def expect(what, got, wanted):
    if got != wanted:
        mismatches.append(f"{what}: inventory has {got!r}, expected {wanted!r}")


def finish(label):
    for item in mismatches:
        print("MISMATCH " + item)
    print(f"{label}: {f'{len(mismatches)} mismatches' if mismatches else 'ok'}")
    return 1 if mismatches else 0


def run_inventory(extra_env=None, wrapper=(), options=()):
    env = {**os.environ, **(extra_env or {})}
    command = [*wrapper, "wine", os.environ["KVLHOST"], "--log-level", "1", *options]
    done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=180)
    if done.returncode != 0:
        sys.exit(f"kvlhost.exe failed with exit {done.returncode}: {done.stderr.strip()}")
    if done.stderr.strip():
        print("kvlhost.exe logged:\n" + done.stderr.rstrip())
    return json.loads(done.stdout)["instances"]


def enumerated_ports(instances):
    """The ports IP Helper reported, by interface index (registry additions left out)."""
    return {p["PortNumber"]: p for p in of_class(instances, "QRXSG_PhysicalNetworkPort") if p["DriverLoaded"]}


def endpoint_names(instances, index=None, family=""):
    prefix = "" if index is None else f"{index}_{family}_"
    return sorted(e["Name"] for e in of_class(instances, "QRXSG_IPProtocolEndpoint") if e["Name"].startswith(prefix))


def ip_interfaces():
    """Non-loopback interfaces as iproute2 reports them, with their addresses."""
    addresses = {entry["ifindex"]: entry.get("addr_info", []) for entry in ip_json("addr")}
    links = [link for link in ip_json("link") if link.get("link_type") != "loopback"]
    for link in links:
        link["addr_info"] = addresses.get(link["ifindex"], [])
    return links


def check_iproute2():
    instances = run_inventory()
    ports = enumerated_ports(instances)
    links = ip_interfaces()
    expect("interface indexes", sorted(ports), sorted(link["ifindex"] for link in links))
    for link in (link for link in links if link["ifindex"] in ports):
        index, name, port = link["ifindex"], link["ifname"], ports[link["ifindex"]]
        print(f"{name}: ip {json.dumps(link)}\n    inventory {json.dumps(port)}")
        if link.get("link_type") == "ether":
            expect(f"{name} hardware address", port["PermanentAddress"], link["address"].upper())
        expect(f"{name} MTU", port["ActiveMaximumTransmissionUnit"], link["mtu"])
        expect(f"{name} adapter name is a GUID in braces", bool(GUID.match(port["Name"])), True)
        expect(f"{name} device name", port["DeviceID"], DEVICE_PREFIX + port["Name"])
        state = {"UP": 2, "DOWN": 32768}.get(link.get("operstate"))
        if state is not None:
            expect(f"{name} enabled state", port["EnabledState"], state)
        # An adapter without an IPv4 address reports the empty entry 0.0.0.0/0.
        ipv4 = [f"{a['local']}/{a['prefixlen']}" for a in link["addr_info"] if a["family"] == "inet"]
        expect(f"{name} IPv4 endpoints", endpoint_names(instances, index, "IPv4"),
               sorted(f"{index}_IPv4_{address}" for address in ipv4 or ["0.0.0.0/0"]))
    return finish("inventory against iproute2")


def check_registry():
    ports = enumerated_ports(run_inventory())
    if not ports:
        sys.exit("the inventory reports no adapter to attach the fixture to")
    chosen = ports[min(ports)]
    fixture = subprocess.run(["wine", os.environ["REGISTRY_FIXTURE"], chosen["Name"], DISABLED_ID,
                              DISABLED_DESCRIPTION], capture_output=True, text=True, timeout=120)
    print(fixture.stdout.rstrip())
    if fixture.returncode != 0:
        sys.exit(f"registry_fixture.exe failed: {fixture.stderr.strip()}")

    instances = run_inventory()
    for index, port in enumerated_ports(instances).items():
        wanted = "100 Mbps Full Duplex" if index == chosen["PortNumber"] else ""
        expect(f"speedDuplex of adapter {index}", port["speedDuplex"], wanted)
    added = [p for p in of_class(instances, "QRXSG_PhysicalNetworkPort") if not p["DriverLoaded"]]
    fields = ("DeviceID", "EnabledState", "Description", "speedDuplex", "PortNumber")
    expect("ports added from the registry", [tuple(p[f] for f in fields) for p in added],
           [(DEVICE_PREFIX + DISABLED_ID, 3, DISABLED_DESCRIPTION, "10 Mbps Full Duplex", 0)])
    return finish("registry fixture")


def check_exclude_ip_option():
    plain = run_inventory()
    excluded = run_inventory(options=["--exclude-ip"])
    expect("ports", sorted(enumerated_ports(excluded)), sorted(enumerated_ports(plain)))
    expect("ports reported", len(enumerated_ports(excluded)) > 0, True)
    expect("endpoints", endpoint_names(excluded), [])
    for port in of_class(excluded, "QRXSG_PhysicalNetworkPort"):
        for field in ("PermanentAddress", "DhcpServer", "NetworkAddresses", "GatewayList"):
            expect(f"{port['DeviceID']} {field}", bool(port.get(field)), False)
    return finish("--exclude-ip")


def check_machine_file():
    with open(EXAMPLE) as machine:
        host = json.load(machine)["host"]
    services = of_class(run_inventory(options=["--machine", EXAMPLE, "--class", "QRXSG_IPService"]), "QRXSG_IPService")
    expect("host and domain of the IP services", [(s["HostName"], s["DomainName"]) for s in services],
           [(host["hostName"], host["domainName"])])
    return finish("--machine " + EXAMPLE)


def check_ipv6(with_name_server):
    """The inventory with a resolver file of its own, bound over
    /etc/resolv.conf in a mount namespace of its own."""
    with tempfile.NamedTemporaryFile("w", suffix=".resolv.conf") as resolver:
        resolver.write("nameserver 127.0.0.53\n" + ("nameserver ::1\n" if with_name_server else ""))
        resolver.flush()
        probe = subprocess.run(["unshare", "--mount", "mount", "--bind", resolver.name, "/etc/resolv.conf"],
                               capture_output=True, text=True)
        if probe.returncode != 0:
            print(f"cannot give the run a resolver file of its own here: {probe.stderr.strip()}")
            sys.exit(SKIP)
        instances = run_inventory(wrapper=["unshare", "--mount", "sh", "-c",
                                           'mount --bind "$0" /etc/resolv.conf && exec "$@"', resolver.name])
    for link in ip_interfaces():
        ipv6 = [a["local"] for a in link["addr_info"] if a["family"] == "inet6"]
        reported = endpoint_names(instances, link["ifindex"], "IPv6")
        print(f"{link['ifname']}: ip {' '.join(ipv6) or '-'}; inventory {' '.join(reported) or '-'}")
        if with_name_server and ipv6:
            # The first unicast address of the adapter's entry, in Wine's order.
            candidates = [f"{link['ifindex']}_IPv6_{ipv6_text(a)}" for a in ipv6]
            expect(f"{link['ifname']} IPv6 endpoint is one of {candidates}",
                   len(reported) == 1 and reported[0] in candidates, True)
        else:
            expect(f"{link['ifname']} IPv6 endpoints", reported, [])
    return finish("IPv6 " + ("with" if with_name_server else "without") + " an IPv6 name server")


CHECKS = {
    # Adapters, hardware addresses, MTU, state, interface indexes and IPv4
    # entries match what `ip -j link` and `ip -j addr` say.
    "iproute2": check_iproute2,
    # A registry fixture gives one adapter a speed/duplex setting and adds
    # a disabled device.
    "registry": check_registry,
    # The runner's --exclude-ip, set in its own process environment,
    # reaches the plug-in's environment call and removes every address.
    "exclude-ip-option": check_exclude_ip_option,
    # The runner's --machine FILE reaches the plug-in, which then reads
    # the simulated machine.
    "machine-file": check_machine_file,
    # With an IPv6 name server in the resolver file, each adapter with
    # IPv6 addresses reports one of them; without one, none.
    "ipv6": lambda: check_ipv6(True),
    "no-ipv6": lambda: check_ipv6(False),
}

if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in CHECKS:
        sys.exit(__doc__)
    if sys.argv[1] != "machine-file":
        # Skip while the plug-in builds no port instances at all, not even
        # for the example machine, whose adapters always yield some: then
        # the live inventory has nothing to compare.
        if not of_class(run_inventory(options=["--machine", EXAMPLE, "--class", "QRXSG_PhysicalNetworkPort"]),
                        "QRXSG_PhysicalNetworkPort"):
            print(f"the plug-in builds no port instances, even for {EXAMPLE}; nothing to compare")
            sys.exit(SKIP)
    sys.exit(CHECKS[sys.argv[1]]())
