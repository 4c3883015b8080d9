#!/usr/bin/env python3
"""Whole inventories and logs of machine files against golden files, and the
links of every machine file."""
import difflib
import glob
import json
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from inventory_text import of_class, run_kvlhost  # noqa: E402

MACHINES = os.environ.get("MACHINES", "machines")
EXPECTED = os.environ.get("EXPECTED", os.path.join(os.path.dirname(__file__), "expected"))
GOLDEN = "ports-and-endpoints.json"
# Machine files whose whole output (JSON) and level-3 log (.log) are pinned.
GOLDEN_OUTPUTS = {"ports-and-endpoints.json": False, "broadcom-teams.json": True, "mixed-teams.json": True,
                  "team-groups.json": False, "broadcom-firmware.json": True}
PORTS = ("QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort")
ENDPOINT = "QRXSG_IPProtocolEndpoint"
LINK = "QRXSG_PortImplementsEndpoint"
TEAMS = "team-groups.json"
SPARE, GROUP = "QRXSG_SpareGroup", "QRXSG_VirtualNetworkingGroup"
MEMBERSHIPS = ("QRXSG_VirtualNetworkingPortComponent", "QRXSG_ActsAsSpare", "QRXSG_RedundancyComponent",
               "QRXSG_VirtualNetworkingRedundancyGroupComponent")


def run(machine, *args):
    result = run_kvlhost("--machine", os.path.join(MACHINES, machine), *args)
    if result.returncode != 0:
        raise AssertionError(f"kvlhost {machine} {args} exited {result.returncode}: {result.stderr}")
    return result.stdout


def instances(machine, *args):
    return json.loads(run(machine, *args))["instances"]


class MachineInventory(unittest.TestCase):
    def assert_same_as_golden(self, golden, actual):
        with open(os.path.join(EXPECTED, golden)) as file:
            expected = file.read()
        if actual != expected:
            diff = difflib.unified_diff(expected.splitlines(), actual.splitlines(), "expected", "actual", lineterm="")
            self.fail(f"{golden} differs:\n" + "\n".join(list(diff)[:80]))

    def test_whole_output_and_log_match_the_golden_files(self):
        for machine, with_log in GOLDEN_OUTPUTS.items():
            with self.subTest(machine=machine):
                result = run_kvlhost("--machine", os.path.join(MACHINES, machine), "--log-level", "3")
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assert_same_as_golden(machine, result.stdout)
                if with_log:
                    self.assert_same_as_golden(machine.replace(".json", ".log"), result.stderr)
                    # MOF queries the later associations early: their messages still come at their turn.
                    mof = run_kvlhost("--machine", os.path.join(MACHINES, machine), "--log-level", "3", "--format", "mof")
                    self.assert_same_as_golden(machine.replace(".json", ".log"), mof.stderr)

    def test_links_of_every_machine_point_at_a_port_and_an_endpoint_of_that_output(self):
        for path in sorted(glob.glob(os.path.join(MACHINES, "*.json"))):
            with self.subTest(machine=os.path.basename(path)):
                found = instances(os.path.basename(path))
                classes = {i["path"]: i["class"] for i in found}
                for link in of_class(found, LINK):
                    self.assertEqual(list(link), ["Dependent", "Antecedent"])
                    self.assertEqual(classes.get(link["Dependent"]), ENDPOINT)
                    self.assertIn(classes.get(link["Antecedent"]), PORTS)

    def test_links_alone_or_before_their_ends_are_the_links_of_a_full_run(self):
        full = [i for i in instances(GOLDEN) if i["class"] == LINK]
        self.assertEqual(len(full), 5)
        self.assertEqual(instances(GOLDEN, "--class", LINK), full)
        first = instances(GOLDEN, "--class", LINK, "--class", PORTS[0], "--class", LINK)
        self.assertEqual((first[:5], first[-5:]), (full, full))

    def test_exclude_ip_option_reaches_the_machine_file_environment(self):
        found = instances(GOLDEN, "--exclude-ip")
        self.assertEqual((of_class(found, ENDPOINT), of_class(found, LINK)), ([], []))
        ports = of_class(found, PORTS[0])
        self.assertEqual(len(ports), 4)
        self.assertFalse([port for port in ports if "PermanentAddress" in port])


def signed_text(number):
    """A 32-bit team number as "%d" writes it."""
    return str(number - (1 << 32) if number >= 1 << 31 else number)


def expected_memberships(found, machine):
    """The four associations joined anew from an inventory's groups and ports:
    per team member (a physical port with a member type) and per virtual
    port, the first instance enumerated with each end's key. A virtual
    port's team is the machine file's team whose virtual adapter's name
    contains the port's description."""
    def first(class_name, **keys):
        return next((i["path"] for i in found if i["class"] == class_name
                     and all(i["properties"].get(k) == v for k, v in keys.items())), None)

    with open(os.path.join(MACHINES, machine)) as file:
        library = json.load(file)["nicLibrary"]
    teams = {}
    for team in library["teams"]:
        for nic in team.get("virtualAdapters", []):
            teams[nic["name"]] = signed_text(nic.get("teamId", team["id"]))
    links = {name: [] for name in MEMBERSHIPS}

    def add(name, group_role, group, part_role, part):
        if group and part:
            links[name].append({group_role: group, part_role: part})

    for port in of_class(found, PORTS[0]):
        if "MemberType" not in port:
            continue
        spare = first(SPARE, Name=port.get("PermanentAddress", ""))
        add(MEMBERSHIPS[3], "GroupComponent", first(GROUP, TeamID=port["TeamID"]), "PartComponent", spare)
        own = first(PORTS[0], DeviceID=port["DeviceID"], MemberType=port["MemberType"])
        if port["MemberType"] == 1:
            add(MEMBERSHIPS[2], "GroupComponent", spare, "PartComponent", own)
        if port["MemberType"] == 2:
            add(MEMBERSHIPS[1], "Group", spare, "Spare", own)
    for port in of_class(found, PORTS[1]):
        team = next(number for name, number in teams.items() if port["Description"] in name)
        add(MEMBERSHIPS[0], "GroupComponent", first(GROUP, TeamID=team), "PartComponent",
            first(PORTS[1], DeviceID=port["DeviceID"]))
    return links


class TeamMemberships(unittest.TestCase):
    def test_each_golden_association_is_the_join_of_its_golden_groups_and_ports(self):
        for machine in ("broadcom-teams.json", TEAMS):
            with self.subTest(machine=machine):
                with open(os.path.join(EXPECTED, machine)) as file:
                    found = json.load(file)["instances"]
                for name, links in expected_memberships(found, machine).items():
                    self.assertEqual(of_class(found, name), links, name)

    def test_team_groups_machine_shows_each_case(self):
        links = expected_memberships(instances(TEAMS), TEAMS)
        # Five members in known teams (one of them numbered 4294967295),
        # the member of team 9 has none; three members of member type 1, two
        # of type 2 (one in team 9), one of type 3; three virtual ports.
        self.assertEqual([len(links[name]) for name in MEMBERSHIPS], [3, 2, 3, 5])

    def test_memberships_alone_or_around_their_ends_are_those_of_a_full_run(self):
        full = [i for i in instances(TEAMS) if i["class"] in MEMBERSHIPS]
        asked = [arg for name in MEMBERSHIPS for arg in ("--class", name)]
        ends = [arg for name in (SPARE, GROUP) + PORTS for arg in ("--class", name)]
        self.assertEqual(instances(TEAMS, *asked), full)
        around = instances(TEAMS, *asked, *ends, *asked)
        self.assertEqual((around[:len(full)], around[-len(full):]), (full, full))

    def test_without_addresses_every_member_points_at_the_first_spare_group(self):
        found = instances(TEAMS, "--exclude-ip")
        spares = [i["path"] for i in found if i["class"] == SPARE]
        self.assertEqual(len(spares), 6)
        links = of_class(found, MEMBERSHIPS[1]) + of_class(found, MEMBERSHIPS[2])
        spare_ends = [link.get("Group", link.get("GroupComponent")) for link in links]
        spare_ends += [link["PartComponent"] for link in of_class(found, MEMBERSHIPS[3])]
        self.assertEqual(len(spare_ends), 10)
        self.assertEqual(set(spare_ends), {spares[0]})

    def test_mof_references_name_the_aliases_of_groups_and_ports(self):
        mof = run(TEAMS, "--format", "mof")
        blocks = [block for block in mof.split("\n\n") if any(f"instance of {name}\n" in block for name in MEMBERSHIPS)]
        self.assertEqual(len(blocks), 13)
        references = [line.split(" = ")[1] for block in blocks for line in block.splitlines() if " = " in line]
        self.assertEqual([ref for ref in references if not ref.startswith("$")], [])


class KernelTeams(unittest.TestCase):
    MACHINE = "kernel-teams.json"

    def test_bond_slaves_and_vlans_form_one_team_whose_links_name_the_right_interfaces(self):
        found = instances(self.MACHINE)
        # Each end by what names it: a port's device, a spare group's
        # address, a team group's team.
        device = {i["path"]: next((i["properties"][key] for key in ("DeviceID", "Name", "TeamName")
                                   if key in i["properties"]), None) for i in found}
        self.assertEqual([(g["TeamName"], g["TeamID"], g["TeamType"]) for g in of_class(found, GROUP)],
                         [("bond0", "1000001", 1002)])
        self.assertEqual([s["Name"] for s in of_class(found, SPARE)], ["52:54:00:0A:00:01", "52:54:00:0A:00:02"])
        ports = {p["DeviceID"]: p for p in of_class(found, PORTS[0])}
        self.assertEqual(list(ports), ["eth0", "eth1", "eth2", "br0", "v0"])
        self.assertEqual([(ports[n]["MemberType"], ports[n]["TeamID"]) for n in ("eth0", "eth1")],
                         [(1, "1000001"), (2, "1000001")])
        self.assertEqual([p for p in ("eth2", "br0", "v0") if "MemberType" in ports[p]], [])
        virtual = [(v["DeviceID"], v.get("VlanID"), v.get("VlanName")) for v in of_class(found, PORTS[1])]
        self.assertEqual(virtual, [("bond0", None, None), ("bond0.10", 10, "bond0.10"), ("eth2.20", 20, "eth2.20")])

        def ends(name):
            return [tuple(device[end] for end in link.values()) for link in of_class(found, name)]
        self.assertEqual(ends(MEMBERSHIPS[0]), [("bond0", "bond0"), ("bond0", "bond0.10")],
                         "the bond and its VLAN are ports of its group; eth2.20 of none")
        self.assertEqual(ends(MEMBERSHIPS[2]), [("52:54:00:0A:00:01", "eth0")])
        self.assertEqual(ends(MEMBERSHIPS[1]), [("52:54:00:0A:00:02", "eth1")])
        self.assertEqual(ends(MEMBERSHIPS[3]), [("bond0", "52:54:00:0A:00:01"), ("bond0", "52:54:00:0A:00:02")])


FIRMWARE = "broadcom-firmware.json"
ELEMENT, DEVICE_FIRMWARE = "QRXSG_BcmDeviceFirmwareElement", "QRXSG_BcmDeviceFirmware"


class Firmware(unittest.TestCase):
    def test_team_machines_answer_every_class_that_yields_instances(self):
        for machine in ("broadcom-teams.json", "mixed-teams.json", TEAMS):
            with self.subTest(machine=machine):
                self.assertEqual(len({i["class"] for i in instances(machine)}), 13)

    def test_associations_alone_or_around_their_ends_are_those_of_a_full_run(self):
        full = [i for i in instances(FIRMWARE) if i["class"] == DEVICE_FIRMWARE]
        self.assertEqual(len(full), 11)
        self.assertEqual(instances(FIRMWARE, "--class", DEVICE_FIRMWARE), full)
        around = instances(FIRMWARE, "--class", DEVICE_FIRMWARE, "--class", ELEMENT, "--class", PORTS[0],
                           "--class", DEVICE_FIRMWARE)
        self.assertEqual((around[:len(full)], around[-len(full):]), (full, full))

    def run_with_pci_lookup_status(self, status):
        with open(os.path.join(MACHINES, FIRMWARE)) as file:
            machine = json.load(file)
        machine["pciDevices"]["getClassStatus"] = status
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, FIRMWARE)
            with open(path, "w") as file:
                json.dump(machine, file)
            return run_kvlhost("--machine", path, "--class", ELEMENT)

    def test_a_pci_class_lookup_failing_with_15_is_absorbed_and_any_other_status_ends_the_query(self):
        absorbed = self.run_with_pci_lookup_status(15)
        self.assertEqual(absorbed.returncode, 0, absorbed.stderr)
        chips = [e["SoftwareElementID"] for e in of_class(json.loads(absorbed.stdout)["instances"], ELEMENT)]
        self.assertEqual(chips[5], "7.2.1")  # the adapter's own lower-cased version, as without PCI devices

        failed = self.run_with_pci_lookup_status(6)
        self.assertEqual((failed.returncode, failed.stdout), (1, ""))
        self.assertEqual(failed.stderr, "kvlhost: query of QRXSG_BcmDeviceFirmwareElement failed: "
                                        "Not found (6): QRXSG_PCIDevice\n")


if __name__ == "__main__":
    unittest.main(verbosity=2)
