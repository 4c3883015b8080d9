#!/usr/bin/env python3
"""Checks of kvlhost.exe run under Wine against an independent source.

    inventory_check.py CHECK

CHECK is one of:
  iproute2          adapters, hardware addresses, MTU, state, interface
                    indexes and IPv4 entries match what `ip -j link` and
                    `ip -j addr` say of the same interfaces
  registry          a registry fixture (registry_fixture.exe) gives one
                    adapter a speed/duplex setting and adds a disabled device
  exclude-ip        KVL_EXCLUDEIP in the Wine environment removes every address
  exclude-ip-empty  an empty KVL_EXCLUDEIP removes nothing
  exclude-ip-option the runner's --exclude-ip, set in its own process
                    environment, reaches the plug-in's environment call
  machine-file      the runner's --machine FILE reaches the plug-in's getenv,
                    which then reads the simulated machine
  ipv6              with an IPv6 name server in the resolver file, each
                    adapter with IPv6 addresses reports one of them
  no-ipv6           with no IPv6 name server, no IPv6 address is reported

Runs in the Wine prefix that WINEPREFIX names; KVLHOST is the runner's
path, REGISTRY_FIXTURE the fixture writer's, MACHINES the folder of
machine description files. Exit status 0 on success,
1 on a mismatch (each one printed), 77 when the check cannot run here:
no mount namespace for a resolver file of its own, or a plug-in that
builds no port instances at all.
"""
import json
import os
import re
import subprocess
import sys
import tempfile

SKIP = 77
DEVICE_PREFIX = "\\DEVICE\\TCPIP_"
GUID = re.compile(r"^\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}$", re.IGNORECASE)
DISABLED_ID = "{5C0F1D2E-7A31-4B8E-9D44-2F6E0B1A3C77}"
DISABLED_DESCRIPTION = "Fixture disabled adapter"


class Mismatches:
    def __init__(self):
        self.items = []

    def expect(self, what, got, wanted):
        if got != wanted:
            self.items.append(f"{what}: inventory has {got!r}, expected {wanted!r}")

    def finish(self, label):
        for item in self.items:
            print("MISMATCH " + item)
        print(f"{label}: {'ok' if not self.items else f'{len(self.items)} mismatches'}")
        return 1 if self.items else 0


def run_inventory(extra_env=None, wrapper=(), options=()):
    env = dict(os.environ)
    env.update(extra_env or {})
    command = [*wrapper, "wine", os.environ["KVLHOST"], "--log-level", "1", *options]
    done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=180)
    if done.returncode != 0:
        sys.exit(f"kvlhost.exe failed with exit {done.returncode}: {done.stderr.strip()}")
    if done.stderr.strip():
        print("kvlhost.exe logged:\n" + done.stderr.rstrip())
    return json.loads(done.stdout)["instances"]


def of_class(instances, name):
    return [i["properties"] for i in instances if i["class"] == name]


def enumerated_ports(instances):
    """The ports IP Helper reported, by interface index (registry additions left out)."""
    return {p["PortNumber"]: p for p in of_class(instances, "QRXSG_PhysicalNetworkPort") if p["DriverLoaded"]}


def endpoint_names(instances, index, family):
    prefix = f"{index}_{family}_"
    return sorted(e["Name"] for e in of_class(instances, "QRXSG_IPProtocolEndpoint") if e["Name"].startswith(prefix))


def require_port_section():
    """Skips the check while the plug-in builds no port instances at all, not
    even for the simulated example machine, whose adapters always yield some:
    then the live inventory has nothing to compare."""
    path = os.path.join(os.environ["MACHINES"], "example.json")
    instances = run_inventory(options=["--machine", path, "--class", "QRXSG_PhysicalNetworkPort"])
    if not of_class(instances, "QRXSG_PhysicalNetworkPort"):
        print("the plug-in builds no QRXSG_PhysicalNetworkPort instances, even for " + path + "; nothing to compare")
        sys.exit(SKIP)


def ip_json(*args):
    return json.loads(subprocess.run(["ip", "-j", *args], check=True, capture_output=True, text=True).stdout)


def ip_interfaces():
    """Non-loopback interfaces as iproute2 reports them, with their addresses."""
    addresses = {entry["ifindex"]: entry.get("addr_info", []) for entry in ip_json("addr")}
    links = [link for link in ip_json("link") if link.get("link_type") != "loopback"]
    for link in links:
        link["addr_info"] = addresses.get(link["ifindex"], [])
    return links


def inventory_ipv6_text(address):
    """An IPv6 address as the inventory writes it: eight groups of two bytes,
    each "%X%X" of (high, low), with a 0 between them when low < 16 and high
    is not 0; zero runs are not shortened."""
    import ipaddress

    raw = ipaddress.IPv6Address(address).packed
    groups = []
    for high, low in zip(raw[0::2], raw[1::2]):
        groups.append(f"{high:X}0{low:X}" if low < 16 and high != 0 else f"{high:X}{low:X}")
    return ":".join(groups)


def check_iproute2():
    instances = run_inventory()
    ports = enumerated_ports(instances)
    links = ip_interfaces()
    result = Mismatches()
    result.expect("interface indexes", sorted(ports), sorted(link["ifindex"] for link in links))
    print(f"{'interface':10} {'index':>5}  {'hardware address':17}  {'MTU':>5}  {'state':6}  IPv4")
    for link in links:
        index = link["ifindex"]
        ipv4 = [f"{a['local']}/{a['prefixlen']}" for a in link["addr_info"] if a["family"] == "inet"]
        print(f"ip: {link['ifname']:6} {index:>5}  {link.get('address', ''):17}  {link['mtu']:>5}  "
              f"{link.get('operstate', ''):6}  {' '.join(ipv4) or '-'}")
        port = ports.get(index)
        if port is None:
            continue
        wine_ipv4 = [n.split("_", 2)[2] for n in endpoint_names(instances, index, "IPv4")]
        print(f"    {port['Description']:6} {port['PortNumber']:>5}  {port['PermanentAddress']:17}  "
              f"{port['ActiveMaximumTransmissionUnit']:>5}  {port['EnabledState']:<6}  {' '.join(wine_ipv4)}")
        name = link["ifname"]
        if link.get("link_type") == "ether":
            result.expect(f"{name} hardware address", port["PermanentAddress"], link["address"].upper())
        result.expect(f"{name} MTU", port["ActiveMaximumTransmissionUnit"], link["mtu"])
        if not GUID.match(port["Name"]):
            result.items.append(f"{name} adapter name {port['Name']!r} is not a GUID in braces")
        result.expect(f"{name} device name", port["DeviceID"], DEVICE_PREFIX + port["Name"])
        state = {"UP": 2, "DOWN": 32768}.get(link.get("operstate"))
        if state is not None:
            result.expect(f"{name} enabled state", port["EnabledState"], state)
        # An adapter without an IPv4 address reports the empty entry 0.0.0.0/0.
        wanted = sorted(f"{index}_IPv4_{address}" for address in ipv4) or [f"{index}_IPv4_0.0.0.0/0"]
        result.expect(f"{name} IPv4 endpoints", endpoint_names(instances, index, "IPv4"), wanted)
    return result.finish("inventory against iproute2")


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
    result = Mismatches()
    after = enumerated_ports(instances)
    for index, port in after.items():
        wanted = "100 Mbps Full Duplex" if index == chosen["PortNumber"] else ""
        result.expect(f"speedDuplex of adapter {index}", port["speedDuplex"], wanted)
    added = [p for p in of_class(instances, "QRXSG_PhysicalNetworkPort") if not p["DriverLoaded"]]
    result.expect("ports added from the registry", [p["DeviceID"] for p in added], [DEVICE_PREFIX + DISABLED_ID])
    if added:
        port = added[0]
        print(f"disabled port: {port['DeviceID']} EnabledState {port['EnabledState']} "
              f"speedDuplex {port['speedDuplex']!r} Description {port['Description']!r}")
        result.expect("disabled port EnabledState", port["EnabledState"], 3)
        result.expect("disabled port Description", port["Description"], DISABLED_DESCRIPTION)
        result.expect("disabled port speedDuplex", port["speedDuplex"], "10 Mbps Full Duplex")
        result.expect("disabled port PortNumber", port["PortNumber"], 0)
    return result.finish("registry fixture")


def check_exclude_ip(value):
    plain = run_inventory()
    excluded = run_inventory({"KVL_EXCLUDEIP": value})
    result = Mismatches()
    result.expect("ports", sorted(enumerated_ports(excluded)), sorted(enumerated_ports(plain)))
    endpoints = sorted(e["Name"] for e in of_class(excluded, "QRXSG_IPProtocolEndpoint"))
    if value:
        result.expect("endpoints", endpoints, [])
        for port in of_class(excluded, "QRXSG_PhysicalNetworkPort"):
            for field in ("PermanentAddress", "DhcpServer"):
                result.expect(f"{port['DeviceID']} {field}", port.get(field, ""), "")
            for field in ("NetworkAddresses", "GatewayList"):
                result.expect(f"{port['DeviceID']} {field}", port.get(field, []), [])
    else:
        result.expect("endpoints", endpoints, sorted(e["Name"] for e in of_class(plain, "QRXSG_IPProtocolEndpoint")))
    return result.finish(f"KVL_EXCLUDEIP={value!r}")


def check_exclude_ip_option():
    instances = run_inventory(options=["--exclude-ip"])
    result = Mismatches()
    result.expect("ports", len(enumerated_ports(instances)) > 0, True)
    result.expect("endpoints", [e["Name"] for e in of_class(instances, "QRXSG_IPProtocolEndpoint")], [])
    return result.finish("--exclude-ip")


def check_machine_file():
    path = os.path.join(os.environ["MACHINES"], "example.json")
    with open(path) as machine:
        host = json.load(machine)["host"]
    instances = run_inventory(options=["--machine", path, "--class", "QRXSG_IPService"])
    result = Mismatches()
    services = of_class(instances, "QRXSG_IPService")
    result.expect("IP services", len(services), 1)
    if services:
        result.expect("HostName", services[0]["HostName"], host["hostName"])
        result.expect("DomainName", services[0]["DomainName"], host["domainName"])
    return result.finish("--machine " + path)


def inventory_with_resolver(text):
    """The inventory with `text` as the resolver file, bound over
    /etc/resolv.conf in a mount namespace of its own."""
    with tempfile.NamedTemporaryFile("w", suffix=".resolv.conf") as resolver:
        resolver.write(text)
        resolver.flush()
        probe = subprocess.run(["unshare", "--mount", "mount", "--bind", resolver.name, "/etc/resolv.conf"],
                               capture_output=True, text=True)
        if probe.returncode != 0:
            print(f"cannot give the run a resolver file of its own here: {probe.stderr.strip()}")
            sys.exit(SKIP)
        wrapper = ["unshare", "--mount", "sh", "-c", 'mount --bind "$0" /etc/resolv.conf && exec "$@"', resolver.name]
        return run_inventory(wrapper=wrapper)


def check_ipv6(with_name_server):
    if with_name_server:
        instances = inventory_with_resolver("nameserver 127.0.0.53\nnameserver ::1\n")
    else:
        instances = inventory_with_resolver("nameserver 127.0.0.53\n")
    result = Mismatches()
    for link in ip_interfaces():
        index = link["ifindex"]
        ipv6 = [a["local"] for a in link["addr_info"] if a["family"] == "inet6"]
        reported = endpoint_names(instances, index, "IPv6")
        print(f"{link['ifname']}: ip {' '.join(ipv6) or '-'}; inventory {' '.join(reported) or '-'}")
        if with_name_server and ipv6:
            # The first unicast address of the adapter's entry, in Wine's order.
            candidates = [f"{index}_IPv6_{inventory_ipv6_text(a)}" for a in ipv6]
            if len(reported) != 1 or reported[0] not in candidates:
                result.items.append(f"{link['ifname']} IPv6 endpoints {reported}, expected one of {candidates}")
        else:
            result.expect(f"{link['ifname']} IPv6 endpoints", reported, [])
    return result.finish("IPv6 " + ("with" if with_name_server else "without") + " an IPv6 name server")


CHECKS = {
    "iproute2": check_iproute2,
    "registry": check_registry,
    "exclude-ip": lambda: check_exclude_ip("192.0.2.2 and anything else"),
    "exclude-ip-empty": lambda: check_exclude_ip(""),
    "exclude-ip-option": check_exclude_ip_option,
    "machine-file": check_machine_file,
    "ipv6": lambda: check_ipv6(True),
    "no-ipv6": lambda: check_ipv6(False),
}

if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in CHECKS:
        sys.exit(__doc__)
    if sys.argv[1] != "machine-file":
        require_port_section()
    sys.exit(CHECKS[sys.argv[1]]())
