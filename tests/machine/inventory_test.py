#!/usr/bin/env python3
"""Whole inventories and logs of machine files against golden files, and the
links of every machine file."""
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
# Machine files whose whole output (JSON) and level-3 log (.log) are pinned.
GOLDEN_OUTPUTS = {"ports-and-endpoints.json": False, "broadcom-teams.json": True, "mixed-teams.json": True}
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
