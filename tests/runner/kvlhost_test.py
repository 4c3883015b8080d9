#!/usr/bin/env python3
"""End-to-end runs of the kvlhost runner with the real plug-in: the exit
codes and answers the probe plug-in's runs do not cover."""
import json
import os
import subprocess
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from inventory_text import run_kvlhost as run  # noqa: E402

MACHINES = os.environ.get("MACHINES", "machines")
EXAMPLE = os.path.join(MACHINES, "example.json")
PRODUCT = os.path.join(os.path.dirname(os.environ.get("KVLHOST", "kvlhost")), "liblinkscope.so")


def run_bytes(*args, stdin=subprocess.DEVNULL):
    """The runner with `args` (str or bytes); stdin a file object or bytes."""
    data = stdin if isinstance(stdin, bytes) else None
    return subprocess.run([os.environ.get("KVLHOST", "kvlhost"), *args], input=data,
                          stdin=None if data is not None else stdin, capture_output=True, timeout=60)


def one_line_of_text(result):
    """stderr as text, when it is one line of valid UTF-8; else None."""
    try:
        text = result.stderr.decode("utf-8")
    except UnicodeDecodeError:
        return None
    return text if text.endswith("\n") and text.count("\n") == 1 else None


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

    def test_a_description_is_read_from_a_pipe_as_from_its_file(self):
        expected = run("--machine", EXAMPLE)
        self.assertEqual(expected.returncode, 0, expected.stderr)
        for path in ("-", "/dev/stdin"):
            with self.subTest(path=path), open(EXAMPLE, "rb") as file:
                with subprocess.Popen(["cat"], stdin=file, stdout=subprocess.PIPE) as piped:
                    result = run_bytes("--machine", path, stdin=piped.stdout)
                self.assertEqual((result.returncode, result.stdout.decode()), (0, expected.stdout), result.stderr)

    def test_refused_descriptions_are_one_line_of_text_naming_them(self):
        cases = [
            (("--machine", MACHINES), b"", "cannot read the file"),
            (("--machine", "/dev/zero"), b"", "more than 64 MiB"),
            (("--machine", "-"), b'{"host": 1', "standard input: line 1"),
            ((b"--machine", b"no\nsuch\xff.json"), b"", "no\\x0Asuch\\xFF.json"),
            (("--machine", "-"), b'{"ho\\nst": {}}', 'ho\\x0Ast'),
            (("--machine", "-"), b'{"h\xc3\x28st": {}}', "\\xC3("),
            ((b"--class", b"Q\xe2\x82"), b"", "unknown class Q\\xE2\\x82"),
        ]
        for args, stdin, text in cases:
            with self.subTest(args=args, stdin=stdin):
                result = run_bytes(*args, stdin=stdin)
                self.assertEqual((result.returncode, result.stdout), (2, b""), result.stderr)
                line = one_line_of_text(result)
                self.assertIsNotNone(line, result.stderr)
                self.assertIn(text, line)

    def test_a_cut_library_is_refused_before_the_loader_maps_it(self):
        size = os.path.getsize(PRODUCT)
        # 200,000 bytes end within the code segment, which the loader would map past the end.
        cases = [(10, "not an ELF file"), (40, "its header"), (200_000, "a segment"), (size - 1, "section headers")]
        with tempfile.TemporaryDirectory() as folder:
            for length, text in cases:
                with self.subTest(length=length):
                    cut = os.path.join(folder, f"cut{length}.so")
                    with open(PRODUCT, "rb") as source, open(cut, "wb") as target:
                        target.write(source.read(length))
                    result = run("--plugin", cut)
                    self.assertEqual((result.returncode, result.stdout), (1, ""), result.stderr)
                    self.assertEqual(len(result.stderr.splitlines()), 1, result.stderr)
                    self.assertIn(text, result.stderr)

    def test_the_product_plugin_takes_no_machine_description(self):
        result = run("--machine", EXAMPLE, "--plugin", PRODUCT)
        self.assertEqual((result.returncode, result.stdout), (2, ""), result.stderr)
        self.assertIn("takes no machine description", result.stderr)

    def test_help_lists_every_option(self):
        result = run("--help")
        self.assertEqual(result.returncode, 0)
        for option in ("--machine", "--class", "--format", "--exclude-ip", "--log-level", "--plugin"):
            self.assertIn(option, result.stdout)


if __name__ == "__main__":
    unittest.main(verbosity=2)
