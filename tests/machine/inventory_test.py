#!/usr/bin/env python3
"""Ports, endpoints and their links as the runner prints them for machine files."""
import difflib
import glob
import json
import os
import re
import subprocess
import unittest

KVLHOST = os.environ.get("KVLHOST", "kvlhost")
MACHINES = os.environ.get("MACHINES", "machines")
EXPECTED = os.environ.get("EXPECTED", os.path.join(os.path.dirname(__file__), "expected"))

PORTS = ("QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort")
ENDPOINT = "QRXSG_IPProtocolEndpoint"
LINK = "QRXSG_PortImplementsEndpoint"


def run(machine, *args):
    env = {k: v for k, v in os.environ.items() if k not in ("KVL_EXCLUDEIP", "KVLHOST_MACHINE")}
    result = subprocess.run([KVLHOST, "--machine", os.path.join(MACHINES, machine), *args],
                            capture_output=True, text=True, env=env, timeout=60)
    if result.returncode != 0:
        raise AssertionError(f"kvlhost {machine} {args} exited {result.returncode}: {result.stderr}")
    return result.stdout


def instances(machine, *args):
    return json.loads(run(machine, *args))["instances"]


def of_class(found, name):
    return [i for i in found if i["class"] == name]


class GoldenOutput(unittest.TestCase):
    def test_every_class_of_the_ports_and_endpoints_machine(self):
        with open(os.path.join(EXPECTED, "ports-and-endpoints.json")) as file:
            expected = file.read()
        actual = run("ports-and-endpoints.json")
        if actual != expected:
            diff = difflib.unified_diff(expected.splitlines(), actual.splitlines(), "expected", "actual", lineterm="")
            self.fail("output differs from the golden file:\n" + "\n".join(list(diff)[:80]))


class Links(unittest.TestCase):
    def test_links_of_every_machine_point_at_a_port_and_an_endpoint_of_that_output(self):
        for path in sorted(glob.glob(os.path.join(MACHINES, "*.json"))):
            machine = os.path.basename(path)
            with self.subTest(machine=machine):
                found = instances(machine)
                paths = {i["path"]: i["class"] for i in found}
                for link in of_class(found, LINK):
                    self.assertEqual(list(link["properties"]), ["Dependent", "Antecedent"])
                    self.assertEqual(paths.get(link["properties"]["Dependent"]), ENDPOINT)
                    self.assertIn(paths.get(link["properties"]["Antecedent"]), PORTS)

    def test_the_example_machine_shows_ports_endpoints_and_links(self):
        found = instances("example.json")
        counts = {name: len(of_class(found, name)) for name in (PORTS[0], ENDPOINT, LINK)}
        # Four adapters (one disabled); three IPv4 and two IPv6 addresses on
        # the wired ones, the 0.0.0.0/0 entry of the wireless one; each
        # address linked to its port.
        self.assertEqual(counts, {PORTS[0]: 4, ENDPOINT: 6, LINK: 6})

    def test_links_alone_or_before_their_ends_are_the_links_of_a_full_run(self):
        full = of_class(instances("ports-and-endpoints.json"), LINK)
        self.assertEqual(len(full), 5)
        self.assertEqual(instances("ports-and-endpoints.json", "--class", LINK), full)
        first = instances("ports-and-endpoints.json", "--class", LINK, "--class", PORTS[0], "--class", LINK)
        self.assertEqual(first[:5], full)
        self.assertEqual(first[-5:], full)

    def test_nothing_to_link_under_the_exclusion_switch(self):
        found = instances("ports-and-endpoints.json", "--exclude-ip")
        self.assertEqual(of_class(found, ENDPOINT), [])
        self.assertEqual(of_class(found, LINK), [])
        ports = of_class(found, PORTS[0])
        self.assertEqual(len(ports), 4)
        for port in ports:
            self.assertNotIn("PermanentAddress", port["properties"])


class MofReferences(unittest.TestCase):
    BLOCK = re.compile(r"^// (?P<path>[^\n]*)\ninstance of (?P<cls>\w+)(?: as (?P<alias>\$\w+))?\n\{\n(?P<body>.*?)^\};$",
                       re.M | re.S)

    def blocks(self, *args):
        return list(self.BLOCK.finditer(run("ports-and-endpoints.json", "--format", "mof", *args)))

    def test_a_link_names_the_aliases_of_its_ends_written_before_it(self):
        aliases = {}
        links = 0
        for block in self.blocks():
            if block["alias"]:
                aliases[block["alias"]] = (block["cls"], block["path"])
            if block["cls"] != LINK:
                continue
            links += 1
            dependent = re.search(r"^    Dependent = (\$\w+);$", block["body"], re.M)
            antecedent = re.search(r"^    Antecedent = (\$\w+);$", block["body"], re.M)
            self.assertTrue(dependent and antecedent, block["body"])
            self.assertEqual(aliases[dependent[1]][0], ENDPOINT)
            self.assertIn(aliases[antecedent[1]][0], PORTS)
        self.assertEqual(links, 5)
        self.assertEqual(aliases["$QRXSG_PhysicalNetworkPort_1"][1],
                         'QRXSG_PhysicalNetworkPort.CreationClassname="QRXSG_PhysicalNetworkPort",'
                         'DeviceID="\\\\DEVICE\\\\TCPIP_{7C2E0B31-1A2B-4C3D-8E9F-000000000011}",'
                         'SystemCreationClassName="QRXSG_ComputerSystem",SystemName="EDGE-07"')

    def test_links_printed_without_their_ends_give_object_paths(self):
        blocks = self.blocks("--class", LINK)
        self.assertEqual(len(blocks), 5)
        self.assertIn('    Dependent = "QRXSG_IPProtocolEndpoint.CreationClassname=\\"QRXSG_IPProtocolEndpoint\\",'
                      'Name=\\"11_IPv4_10.20.0.15/24\\"', blocks[0]["body"])


if __name__ == "__main__":
    unittest.main(verbosity=2)
