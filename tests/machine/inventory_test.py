#!/usr/bin/env python3
"""Ports, endpoints and their links as the runner prints them for machine files."""
import difflib
import glob
import json
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from inventory_text import of_class, run_kvlhost  # noqa: E402

MACHINES = os.environ.get("MACHINES", "machines")
EXPECTED = os.environ.get("EXPECTED", os.path.join(os.path.dirname(__file__), "expected"))
GOLDEN = "ports-and-endpoints.json"
PORTS = ("QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkPort")
ENDPOINT = "QRXSG_IPProtocolEndpoint"
LINK = "QRXSG_PortImplementsEndpoint"


def run(machine, *args):
    result = run_kvlhost("--machine", os.path.join(MACHINES, machine), *args)
    if result.returncode != 0:
        raise AssertionError(f"kvlhost {machine} {args} exited {result.returncode}: {result.stderr}")
    return result.stdout


def instances(machine, *args):
    return json.loads(run(machine, *args))["instances"]


class MachineInventory(unittest.TestCase):
    def test_every_class_of_the_ports_and_endpoints_machine_matches_the_golden_file(self):
        with open(os.path.join(EXPECTED, GOLDEN)) as file:
            expected = file.read()
        actual = run(GOLDEN)
        if actual != expected:
            diff = difflib.unified_diff(expected.splitlines(), actual.splitlines(), "expected", "actual", lineterm="")
            self.fail("output differs from the golden file:\n" + "\n".join(list(diff)[:80]))

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


if __name__ == "__main__":
    unittest.main(verbosity=2)
