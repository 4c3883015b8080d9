#!/usr/bin/env python3
"""End-to-end runs of the kvlhost runner with the real plug-in: the exit
codes and answers the probe plug-in's runs do not cover."""
import json
import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from inventory_text import run_kvlhost as run  # noqa: E402

EXAMPLE = os.path.join(os.environ.get("MACHINES", "machines"), "example.json")


class Runner(unittest.TestCase):
    def test_a_class_asked_twice_is_answered_twice(self):
        result = run("--machine", EXAMPLE, "--class", "QRXSG_IPService", "--class", "QRXSG_IPService")
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertEqual(len(json.loads(result.stdout)["instances"]), 2)

    def test_usage_and_plugin_failures_exit_with_one_line_naming_the_cause(self):
        cases = [
            (("--no-such-option",), 2, "--no-such-option"),
            (("--plugin", "/nonexistent/liblinkscope.so"), 2, "/nonexistent/liblinkscope.so"),
            (("--plugin", EXAMPLE), 1, EXAMPLE),  # a file that is no library
        ]
        for args, code, text in cases:
            with self.subTest(args=args):
                result = run("--machine", EXAMPLE, *args)
                self.assertEqual((result.returncode, result.stdout), (code, ""), result.stderr)
                self.assertEqual(len(result.stderr.strip().splitlines()), 1, result.stderr)
                self.assertIn(text, result.stderr)

    def test_help_lists_every_option(self):
        result = run("--help")
        self.assertEqual(result.returncode, 0)
        for option in ("--machine", "--class", "--format", "--exclude-ip", "--log-level", "--plugin"):
            self.assertIn(option, result.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)
