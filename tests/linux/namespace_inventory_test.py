#!/usr/bin/env python3
"""The live inventory of a network namespace of its own, made by the
scenario and removed afterwards whatever happened, compared with what
iproute2 and sysfs say of it. Exit code 77: no namespace could be made.

    namespace_inventory_test.py --kvlhost PATH [--scenario mixed|bridge|bond|empty]

The bond scenario needs the kernel's bonding and 802.1Q VLAN support and
says it skipped (77) where either is missing.
"""
import argparse
import atexit
import json
import os
import signal
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from inventory_text import DEVICE_PREFIX, ip_json, ipv6_text, of_class  # noqa: E402

PREFIX = "lsinv-"
SKIPPED = 77
DRIVER_OF_KIND = {"bond": "bonding", "vlan": "802.1Q VLAN Support"}  # drivers not named after their kind
# Operational state as iproute2 prints it -> enabled state of the port.
ENABLED_STATE = {"UP": 2, "DORMANT": 10, "DOWN": 32768, "LOWERLAYERDOWN": 32768, "NOTPRESENT": 32768,
                 "TESTING": 32768}


def run(args, check=True, input=None):
    return subprocess.run(args, check=check, capture_output=True, text=True, input=input)


class Namespace:
    """A network namespace that is deleted on exit, whatever happened."""

    def __init__(self, name):
        self.name = name
        run(["ip", "netns", "add", name])
        atexit.register(self.delete)

    def delete(self):
        run(["ip", "netns", "del", self.name], check=False)

    def execute(self, *args, check=True):
        return run(["ip", "netns", "exec", self.name, *args], check=check)


def remove_stale_namespaces():
    """Namespaces left by a run that was killed before it could clean up."""
    for name in run(["ip", "netns", "list"], check=False).stdout.split():
        pid = name[len(PREFIX):].split("-")[0]
        if name.startswith(PREFIX) and pid.isdigit() and not os.path.exists(f"/proc/{pid}"):
            run(["ip", "netns", "del", name], check=False)


MIXED = """
link set lo up
link add v0 type veth peer name v1
link add v2 type veth peer name v3
link add br0 type bridge
link add link v0 name mv0 type macvlan mode bridge
link add ifb0 type ifb
link add ifb1 type ifb
link set v1 mtu 1400
addr add 10.1.0.1/24 dev v0
addr add 10.1.0.9/16 dev v0
addr add fd00:1::1/64 dev v0 nodad
addr add 10.2.0.1/24 dev v1 valid_lft 3600 preferred_lft 3600
addr add 10.3.0.1/24 dev br0
addr add 10.4.0.1/24 dev mv0
addr add fd00:4::1/64 dev mv0 nodad
addr add 10.5.0.1/24 dev ifb0
addr add 10.6.0.1/24 dev ifb1
link set v0 up
link set v1 up
link set v2 up
link set br0 up
link set mv0 up
link set ifb0 up
route add default via 10.1.0.254 dev v0
"""

# Kinds this machine's kernel may lack: added where it offers them.
OPTIONAL = {"d0": "type dummy", "v0.7": "link v0 type vlan id 7", "bond0": "type bond"}


def build_mixed(ns):
    run(["ip", "-n", ns.name, "-batch", "-"], input=MIXED.strip() + "\n")
    for name, kind in OPTIONAL.items():
        run(["ip", "-n", ns.name, "-batch", "-"], input=f"link add name {name} {kind}\nlink set {name} up\n", check=False)
    ns.execute("sh", "-c", "echo 1 > /proc/sys/net/ipv4/ip_forward")


# A bridge takes the lowest hardware address of its ports, so br0 shares
# v0's or v2's; v4 and v6 are given one address on two separate links.
BRIDGE = """
link set lo up
link add v0 type veth peer name v1
link add v2 type veth peer name v3
link add v4 address 02:00:00:00:09:04 type veth peer name v5
link add v6 address 02:00:00:00:09:04 type veth peer name v7
link add br0 type bridge
link set v0 master br0
link set v2 master br0
addr add 10.9.0.1/24 dev br0
addr add fd00:9::1/64 dev br0 nodad
addr add 10.9.0.2/24 dev v1
addr add 10.9.4.1/24 dev v4
addr add 10.9.6.1/24 dev v6
""" + "".join(f"link set {name} up\n" for name in ["br0", "v0", "v1", "v2", "v3", "v4", "v5", "v6", "v7"])


def build_bridge(ns):
    run(["ip", "-n", ns.name, "-batch", "-"], input=BRIDGE.strip() + "\n")
    address = {link["ifname"]: link["address"] for link in ip_json("-n", ns.name, "link", "show")}
    # Without shared addresses the scenario would test nothing of them.
    if address["br0"] not in (address["v0"], address["v2"]) or address["v4"] != address["v6"]:
        raise RuntimeError(f"scenario built without shared hardware addresses: {address}")


# An active-backup bond of two veths with a VLAN on it.
BOND = """
link set lo up
link add v0 type veth peer name v1
link add v2 type veth peer name v3
link add bond0 type bond mode active-backup miimon 100
link set v0 master bond0
link set v2 master bond0
link add link bond0 name bond0.10 type vlan id 10
addr add 10.8.0.1/24 dev bond0
addr add 10.8.10.1/24 dev bond0.10
""" + "".join(f"link set {name} up\n" for name in ["v1", "v3", "bond0", "bond0.10", "v0", "v2"])


def build_bond(ns):
    run(["ip", "-n", ns.name, "-batch", "-"], input=BOND.strip() + "\n")
    time.sleep(0.5)  # the bond picks its active slave once their carriers are up


def bond_support_missing():
    """Why a bond with a VLAN cannot be made on this kernel, or None."""
    probe = Namespace(f"{PREFIX}{os.getpid()}-modules")
    try:
        for kind, command in (("bonding", "link add b0 type bond"), ("802.1Q VLAN", "link add link b0 name b0.2 type vlan id 2")):
            result = run(["ip", "-n", probe.name, *command.split()], check=False)
            if result.returncode != 0:
                return f"this kernel has no {kind} support ({result.stderr.strip()})"
        return None
    finally:
        probe.delete()


SCENARIOS = {"mixed": build_mixed, "bridge": build_bridge, "bond": build_bond, "empty": lambda ns: None}
# Interfaces the kernel team source reports as virtual ports.
VIRTUAL_KINDS = ("bond", "team", "vlan")
KERNEL_TEAM_BASE = 1000000
MEMBER_TYPE = {"ACTIVE": 1, "BACKUP": 2}


def speed_text(ns, name):
    """Speed and duplex as the namespace's sysfs tells them."""
    result = ns.execute("cat", f"/sys/class/net/{name}/speed", f"/sys/class/net/{name}/duplex", check=False)
    lines = result.stdout.split()
    if result.returncode != 0 or not lines or not lines[0].lstrip("-").isdigit() or int(lines[0]) <= 0:
        return "Unknown"
    mbps = int(lines[0])
    text = f"{mbps // 1000}Gbps" if mbps >= 10000 and mbps % 1000 == 0 else f"{mbps}Mbps"
    return text + {"full": " Full", "half": " Half"}.get(lines[1] if len(lines) > 1 else "", "")


def addresses(ns):
    """The namespace's links with their addresses, less the lifetimes, which count down."""
    links = ip_json("-n", ns.name, "-d", "addr", "show")
    for link in links:
        link["addr_info"] = [{k: v for k, v in a.items() if not k.endswith("life_time")} for a in link["addr_info"]]
    return links


class Observation:
    """What iproute2 and kvlhost say of the namespace, taken so that the
    namespace did not change in between."""

    def __init__(self, ns, kvlhost):
        deadline = time.monotonic() + 10  # until duplicate address detection is done
        while any(a.get("tentative") for link in addresses(ns) for a in link["addr_info"]):
            if time.monotonic() > deadline:
                break
            time.sleep(0.2)
        for _ in range(5):
            before = addresses(ns)
            result = ns.execute(kvlhost, "--format", "json", check=False)
            after = addresses(ns)
            if before == after:
                break
        self.links = sorted(after, key=lambda link: link["ifindex"])
        self.routes = ip_json("-n", ns.name, "route", "show", "table", "main", "default")
        self.exit_code, self.stderr = result.returncode, result.stderr
        self.instances = json.loads(result.stdout)["instances"] if result.returncode == 0 else []
        self.speeds = {link["ifname"]: speed_text(ns, link["ifname"]) for link in self.links}
        self.forwarding = ns.execute("cat", "/proc/sys/net/ipv4/ip_forward").stdout.strip() == "1"

    def ports(self):
        return of_class(self.instances, "QRXSG_PhysicalNetworkPort")


def is_up(link):
    return "UP" in link["flags"]


def driver_of(link):
    kind = link.get("linkinfo", {}).get("info_kind", "")
    return DRIVER_OF_KIND.get(kind, kind)


def kind_of(link):
    return link.get("linkinfo", {}).get("info_kind", "")


def up_ports(links):
    return [link for link in links if is_up(link) and link["ifname"] != "lo" and "sit" not in link["ifname"]
            and kind_of(link) not in VIRTUAL_KINDS]


def own_address(link):
    """A bond slave's own hardware address, else its current one."""
    return link.get("linkinfo", {}).get("info_slave_data", {}).get("perm_hwaddr", link["address"])


def team_members(links):
    """Interfaces enslaved to a bond or team device: the kernel team source
    makes their records, so they come first."""
    teams = {link["ifname"] for link in links if kind_of(link) in ("bond", "team")}
    return [link for link in links if link.get("master") in teams]


def adapter_order(links):
    """Adapters as the inventory lists them: physical ones (team members,
    then the other up interfaces), then virtual ones (bonds and team
    devices, then VLANs)."""
    members = team_members(links)
    physical = members + [link for link in filter(is_up, links)
                          if link not in members and kind_of(link) not in VIRTUAL_KINDS]
    virtual = [link for link in links if kind_of(link) in ("bond", "team")]
    return physical + virtual + [link for link in links if kind_of(link) == "vlan"]


def disabled_ports(links):
    """Down interfaces with a driver or bus device."""
    return [link for link in links if not is_up(link) and ("linkinfo" in link or "parentbus" in link)
            and "sit" not in link["ifname"]]


class NamespaceInventory(unittest.TestCase):
    scenario = "mixed"
    kvlhost = None

    @classmethod
    def setUpClass(cls):
        cls.ns = Namespace(f"{PREFIX}{os.getpid()}-{cls.scenario}")
        try:
            SCENARIOS[cls.scenario](cls.ns)
            cls.seen = Observation(cls.ns, cls.kvlhost)
        except BaseException:
            cls.ns.delete()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.ns.delete()

    def test_runner_succeeds_and_reports_host_and_forwarding(self):
        self.assertEqual(self.seen.exit_code, 0, self.seen.stderr)
        if any(is_up(link) for link in self.seen.links):
            self.assertNotIn("log 1:", self.seen.stderr)
        else:
            self.assertIn("No Network Adapters Found.", self.seen.stderr)
        services = of_class(self.seen.instances, "QRXSG_IPService")
        self.assertEqual(len(services), 1)
        self.assertEqual(services[0]["HostName"], os.uname().nodename.split(".")[0])
        self.assertEqual(services[0]["RoutingEnabled"], self.seen.forwarding)

    def test_ports_are_up_interfaces_then_disabled_devices(self):
        members = team_members(self.seen.links)
        expected = [link["ifname"] for link in members]
        expected += [link["ifname"] for link in up_ports(self.seen.links) if link not in members]
        expected += [DEVICE_PREFIX + link["ifname"] for link in disabled_ports(self.seen.links)]
        self.assertEqual([port["DeviceID"] for port in self.seen.ports()], expected)

    def test_up_ports_match_their_links(self):
        ports = {port["DeviceID"]: port for port in self.seen.ports()}
        for link in up_ports(self.seen.links):
            name = link["ifname"]
            with self.subTest(interface=name):
                port = ports[name]
                state = link["operstate"]
                if state == "UNKNOWN":
                    enabled = 2 if "LOWER_UP" in link["flags"] else 32768
                else:
                    enabled = ENABLED_STATE[state]
                gateways = [r["gateway"] for r in self.seen.routes if r.get("dev") == name and "gateway" in r]
                expected = {"Name": name, "PortNumber": link["ifindex"], "ActiveMaximumTransmissionUnit": link["mtu"],
                            "PermanentAddress": own_address(link).upper(), "Description": driver_of(link) or name,
                            "EnabledState": enabled, "LinkTechnology": 2 if link["link_type"] == "ether" else 1,
                            "GatewayList": gateways or ["0.0.0.0"], "speedDuplex": self.seen.speeds[name],
                            "DhcpEnabled": any(a["family"] == "inet" and a.get("dynamic") for a in link["addr_info"]),
                            "DriverLoaded": True}
                self.assertEqual({key: port.get(key) for key in expected}, expected)

    def test_disabled_ports_carry_their_driver(self):
        ports = {port["Name"]: port for port in self.seen.ports() if port["EnabledState"] == 3}
        for link in disabled_ports(self.seen.links):
            name = link["ifname"]
            with self.subTest(interface=name):
                port = ports[name]
                self.assertEqual((port["Description"], port["PortNumber"], port["DriverLoaded"]),
                                 (driver_of(link), 0, False))
                self.assertNotIn("GatewayList", port)
                # sysfs tells no speed of a down interface; its driver still may.
                if self.seen.speeds[name] != "Unknown":
                    self.assertEqual(port["speedDuplex"], self.seen.speeds[name])
                else:
                    self.assertRegex(port["speedDuplex"], r"^(Unknown|\d+[MG]bps( Full| Half)?)$")

    def test_bonds_teams_and_vlans_are_teams_members_and_virtual_ports(self):
        links = self.seen.links
        teams = [link["ifname"] for link in links if kind_of(link) in ("bond", "team")]
        number = {name: str(KERNEL_TEAM_BASE + n) for n, name in enumerate(teams, 1)}
        groups = of_class(self.seen.instances, "QRXSG_VirtualNetworkingGroup")
        self.assertEqual([(g["TeamName"], g["TeamID"]) for g in groups], [(name, number[name]) for name in teams])

        ports = {port["DeviceID"]: port for port in self.seen.ports()}
        for link in links:
            master = link.get("master")
            if master not in number or not is_up(link):
                continue
            with self.subTest(member=link["ifname"]):
                state = link.get("linkinfo", {}).get("info_slave_data", {}).get("state")
                port = ports[link["ifname"]]
                self.assertEqual((port.get("TeamID"), port.get("MemberType")), (number[master], MEMBER_TYPE.get(state, 0)))

        virtual = [(v["DeviceID"], v.get("VlanID", 0)) for v in of_class(self.seen.instances, "QRXSG_VirtualNetworkPort")]
        expected = [(link["ifname"], link["linkinfo"].get("info_data", {}).get("id", 0) if kind_of(link) == "vlan" else 0)
                    for link in links if kind_of(link) in VIRTUAL_KINDS and is_up(link)]
        self.assertEqual(virtual, expected)
        if self.scenario == "bond":
            self.assertEqual(sorted(ports[name].get("MemberType") for name in ("v0", "v2")), [1, 2],
                             "one active and one backup slave")

    def test_endpoints_are_addresses_of_up_interfaces(self):
        expected = []
        for link in adapter_order(self.seen.links):
            ipv4 = [f"{a['local']}/{a['prefixlen']}" for a in link["addr_info"] if a["family"] == "inet"]
            # An adapter without an IPv4 address still has the embedded entry.
            expected += [f"{link['ifindex']}_IPv4_{address}" for address in ipv4 or ["0.0.0.0/0"]]
            first_v6 = next((a for a in link["addr_info"] if a["family"] == "inet6"), None)
            if first_v6:
                expected.append(f"{link['ifindex']}_IPv6_{ipv6_text(first_v6['local'])}")
        endpoints = [endpoint["Name"] for endpoint in of_class(self.seen.instances, "QRXSG_IPProtocolEndpoint")]
        self.assertEqual(endpoints, expected)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--kvlhost", required=True)
    parser.add_argument("--scenario", choices=sorted(SCENARIOS), default="mixed")
    options = parser.parse_args()

    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # runs the atexit clean-up
    remove_stale_namespaces()
    try:
        probe = Namespace(f"{PREFIX}{os.getpid()}-probe")
        probe.execute("true")
        probe.delete()
    except (subprocess.CalledProcessError, FileNotFoundError) as error:
        reason = (getattr(error, "stderr", "") or str(error)).strip()
        print(f"skipped: cannot create a network namespace here ({reason}); run as root on a kernel with network "
              "namespaces and iproute2 installed")
        return SKIPPED

    if options.scenario == "bond":
        missing = bond_support_missing()
        if missing:
            print(f"skipped: no live bond and VLAN: {missing}; bonds and VLANs are checked through hand-built "
                  "link dumps and machines/kernel-teams.json instead")
            return SKIPPED

    NamespaceInventory.scenario = options.scenario
    NamespaceInventory.kvlhost = os.path.abspath(options.kvlhost)
    suite = unittest.defaultTestLoader.loadTestsFromTestCase(NamespaceInventory)
    return 0 if unittest.TextTestRunner(verbosity=2, stream=sys.stdout).run(suite).wasSuccessful() else 1


if __name__ == "__main__":
    sys.exit(main())
