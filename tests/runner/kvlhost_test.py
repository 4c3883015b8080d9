#!/usr/bin/env python3
"""End-to-end runs of the kvlhost runner on machine description files."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

KVLHOST = os.environ.get("KVLHOST", "kvlhost")
MACHINES = os.environ.get("MACHINES", "machines")


def run(*args, env_extra=None):
    env = dict(os.environ)
    env.pop("KVL_EXCLUDEIP", None)
    env.pop("KVLHOST_MACHINE", None)
    env.update(env_extra or {})
    return subprocess.run([KVLHOST, *args], capture_output=True, text=True, env=env, timeout=60)


def machine(name):
    return os.path.join(MACHINES, name)


class OutputFormats(unittest.TestCase):
    def test_json_shape_of_the_ip_service(self):
        result = run("--machine", machine("example.json"), "--class", "QRXSG_IPService")
        self.assertEqual(result.returncode, 0, result.stderr)
        document = json.loads(result.stdout)
        self.assertEqual(list(document), ["instances"])
        (instance,) = document["instances"]
        self.assertEqual(list(instance), ["class", "path", "properties", "types"])
        self.assertEqual(instance["class"], "QRXSG_IPService")
        self.assertEqual(list(instance["properties"]),
                         ["SystemCreationClassName", "CreationClassname", "SystemName", "Name",
                          "HostName", "DomainName", "RoutingEnabled", "ProxyEnabled"])
        self.assertEqual(instance["properties"]["Name"], "IPService")
        self.assertEqual(instance["types"]["RoutingEnabled"], "boolean")
        self.assertTrue(instance["path"].startswith('QRXSG_IPService.CreationClassname="QRXSG_IPService"'))

    def test_mof_writes_one_block_per_instance(self):
        result = run("--machine", machine("example.json"), "--class", "QRXSG_IPService", "--format", "mof")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertIn("instance of QRXSG_IPService\n{\n", result.stdout)
        self.assertIn('    Name = "IPService";\n', result.stdout)
        self.assertTrue(result.stdout.rstrip().endswith("};"))

    def test_a_class_asked_twice_is_answered_twice(self):
        result = run("--machine", machine("example.json"), "--class", "QRXSG_IPService",
                     "--class", "QRXSG_IPService")
        self.assertEqual(len(json.loads(result.stdout)["instances"]), 2)

    def test_served_classes_without_instances_answer_nothing(self):
        result = run("--machine", machine("example.json"), "--class", "QRXSG_NextHopIPRoute")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(json.loads(result.stdout), {"instances": []})


class Failures(unittest.TestCase):
    def assertFailsWith(self, result, code, text):
        self.assertEqual(result.returncode, code, result.stderr)
        self.assertEqual(result.stdout, "")
        lines = result.stderr.strip().splitlines()
        self.assertEqual(len(lines), 1, result.stderr)
        self.assertIn(text, lines[0])

    def test_bad_machine_files_name_the_file_and_field(self):
        cases = [
            ('{"host": {"hostName": 5}}', "host.hostName"),
            ('{"hots": {}}', "hots"),
            ('{"host": ', "line"),
        ]
        for text, field in cases:
            with self.subTest(text=text), tempfile.NamedTemporaryFile("w", suffix=".json") as file:
                file.write(text)
                file.flush()
                self.assertFailsWith(run("--machine", file.name), 2, file.name + ": ")
                self.assertIn(field, run("--machine", file.name).stderr)

    def test_missing_machine_file(self):
        self.assertFailsWith(run("--machine", machine("no-such-machine.json")), 2, "no-such-machine.json")

    def test_unknown_class_and_bad_usage(self):
        self.assertFailsWith(run("--machine", machine("example.json"), "--class", "QRXSG_Nope"), 2,
                             "unknown class QRXSG_Nope")
        self.assertEqual(run("--format", "xml").returncode, 2)
        self.assertEqual(run("--no-such-option").returncode, 2)

    def test_plugin_that_is_missing_or_not_a_library(self):
        self.assertFailsWith(run("--machine", machine("example.json"), "--plugin", "/nonexistent/liblinkscope.so"),
                             2, "/nonexistent/liblinkscope.so")
        not_a_library = machine("example.json")
        self.assertFailsWith(run("--machine", machine("example.json"), "--plugin", not_a_library), 1, not_a_library)

    def test_help_lists_every_option(self):
        result = run("--help")
        self.assertEqual(result.returncode, 0)
        for option in ("--machine", "--class", "--format", "--exclude-ip", "--log-level", "--plugin"):
            self.assertIn(option, result.stdout)


class Logging(unittest.TestCase):
    def test_failed_host_parameters_are_logged_at_level_one(self):
        with tempfile.NamedTemporaryFile("w", suffix=".json") as file:
            file.write('{"results": {"GetNetworkParams": 50}}')
            file.flush()
            result = run("--machine", file.name, "--class", "QRXSG_IPService", "--log-level", "1")
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn("Call to GetNetworkParams failed. Return Value: 00000032", result.stderr)
            quiet = run("--machine", file.name, "--class", "QRXSG_IPService", "--log-level", "0")
            self.assertEqual(quiet.stderr, "")


if __name__ == "__main__":
    unittest.main(verbosity=2)
