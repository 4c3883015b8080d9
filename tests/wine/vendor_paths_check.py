#!/usr/bin/env python3
"""The team sources through the real Windows calls, under Wine.

    vendor_paths_check.py CHECK

    no-software   kvlhost.exe on the Wine machine: the NIC library is not
                  there (one Broadcom message, code 126), the teaming
                  provider's namespace is refused, and the inventory prints.
    library       a stand-in NIC library DLL (STANDIN_ALL) loaded through
                  LoadLibraryA from linkscope/ below the working directory
                  gives the same output and log as the simulated library
                  in-process, for a Broadcom machine file and for one whose
                  initialisation fails.
    exports       a stand-in lacking two exports (STANDIN_PARTIAL) behaves as
                  the simulated library that marks them missing.

Runs in the Wine prefix that WINEPREFIX names; KVLHOST is the runner and
MACHINES the folder of machine files. Exit status 0 on success, 1 on a
mismatch.
"""
import difflib
import json
import os
import shutil
import subprocess
import sys
import tempfile

MACHINES = os.environ.get("MACHINES", "machines")
BROADCOM = os.path.join(MACHINES, "broadcom-teams.json")


def kvlhost(*options, cwd=None, env_extra=None):
    env = {**os.environ, **(env_extra or {})}
    done = subprocess.run(["wine", os.environ["KVLHOST"], "--log-level", "3", *options], cwd=cwd, env=env,
                          capture_output=True, text=True, timeout=180)
    if done.returncode != 0:
        sys.exit(f"kvlhost.exe {options} failed with exit {done.returncode}: {done.stderr.strip()[-2000:]}")
    return done.stdout, done.stderr


def differences(what, expected, actual):
    if expected == actual:
        return []
    diff = difflib.unified_diff(expected.splitlines(), actual.splitlines(), "simulated", "loaded", lineterm="")
    return [f"{what} differs:"] + list(diff)[:60]


def machine_variant(folder, name, edit):
    """BROADCOM changed by `edit` (on its parsed JSON), written to `folder`."""
    with open(BROADCOM) as file:
        machine = json.load(file)
    edit(machine)
    path = os.path.join(folder, name)
    with open(path, "w") as file:
        json.dump(machine, file)
    return path


def loaded_against_simulated(folder, dll, simulated_machine, served_machine):
    """Output and log of `simulated_machine` in-process, against the same
    machine whose NIC library is `dll` serving `served_machine`."""
    work = os.path.join(folder, "work")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(os.path.join(work, "linkscope"))
    shutil.copy(dll, os.path.join(work, "linkscope", "BMAPI.dll"))
    system = machine_variant(folder, "system.json", lambda m: (m.update(nicLibrary="system"), m)[1])
    expected = kvlhost("--machine", simulated_machine)
    actual = kvlhost("--machine", system, cwd=work, env_extra={"LINKSCOPE_STANDIN_MACHINE": served_machine})
    return differences("output", expected[0], actual[0]) + differences("log", expected[1], actual[1])


def check_no_software():
    with tempfile.TemporaryDirectory() as work:
        output, log = kvlhost("--class", "QRXSG_IPService", cwd=work)
    problems = []
    broadcom = [line for line in log.splitlines() if "BMAPI" in line or "Broadcom" in line]
    if broadcom != ["log 3: Unable to load BMAPI.dll getlasterror: 126"]:
        problems.append(f"Broadcom messages: {broadcom}")
    refused = [line for line in log.splitlines() if line.startswith("log 3: wmitools: ")]
    if len(refused) != 1 or not refused[0].startswith("log 3: wmitools: ConnectServer failed: (0x8004100e), "):
        problems.append(f"teaming provider messages: {refused}")
    if len(json.loads(output)["instances"]) != 1:
        problems.append("the inventory did not print its one IP service")
    print("\n".join(broadcom + refused))
    return problems


def check_library():
    with tempfile.TemporaryDirectory() as folder:
        problems = loaded_against_simulated(folder, os.environ["STANDIN_ALL"], BROADCOM, BROADCOM)
        failing = machine_variant(folder, "failing.json",
                                  lambda m: (m["nicLibrary"].update(results={"BmapiInitialize": 5}), m)[1])
        problems += loaded_against_simulated(folder, os.environ["STANDIN_ALL"], failing, failing)
    return problems


def check_exports():
    with tempfile.TemporaryDirectory() as folder:
        missing = machine_variant(
            folder, "missing.json",
            lambda m: (m["nicLibrary"].update(missing=["BmapiGetServiceName", "BmapiGetASFTable"]), m)[1])
        return loaded_against_simulated(folder, os.environ["STANDIN_PARTIAL"], missing, BROADCOM)


CHECKS = {"no-software": check_no_software, "library": check_library, "exports": check_exports}

if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in CHECKS:
        sys.exit(f"usage: vendor_paths_check.py {'|'.join(CHECKS)}")
    found = CHECKS[sys.argv[1]]()
    for problem in found:
        print("MISMATCH " + problem)
    print(f"{sys.argv[1]}: {'ok' if not found else 'mismatches'}")
    sys.exit(1 if found else 0)
