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
    wmi           a stand-in WMI locator (STANDIN_WMI), registered in the
                  prefix under the locator's class id for the time of the
                  check, serves the teaming provider of a machine file to
                  the real COM path: output and log equal those of the
                  simulated provider in-process, with and without failing
                  queries. Wine's own registration is put back afterwards.
    wow64         a 64-bit kvlhost.exe leaves the NIC library's Wow64Mode
                  registry value unwritten.

Runs in the Wine prefix that WINEPREFIX names; KVLHOST is the runner and
MACHINES the folder of machine files. Exit status 0 on success, 1 on a
mismatch.
"""
import contextlib
import difflib
import json
import os
import shutil
import subprocess
import sys
import tempfile

MACHINES = os.environ.get("MACHINES", "machines")
BROADCOM = os.path.join(MACHINES, "broadcom-teams.json")
MIXED = os.path.join(MACHINES, "mixed-teams.json")
LOCATOR_KEY = r"HKLM\Software\Classes\CLSID\{4590F811-1D3A-11D0-891F-00AA004B2E24}"
WOW64_KEY = r"HKLM\SOFTWARE\WOW6432NODE\Broadcom\BMAPI"


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


def reg(*arguments, check=True):
    """Wine's reg.exe on the prefix; its standard output."""
    done = subprocess.run(["wine", "reg", *arguments], capture_output=True, text=True, timeout=120)
    if check and done.returncode != 0:
        sys.exit(f"reg {' '.join(arguments)} failed with exit {done.returncode}: {done.stdout}{done.stderr}")
    return done.stdout if done.returncode == 0 else None


def machine_variant(folder, name, edit, source=BROADCOM):
    """`source` changed by `edit` (on its parsed JSON), written to `folder`."""
    with open(source) as file:
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


@contextlib.contextmanager
def locator_registered(folder, dll):
    """The locator's class served by `dll` while the block runs; then the
    class as it was, checked by exporting it again."""
    saved = os.path.join(folder, "locator.reg")
    reg("export", LOCATOR_KEY, saved, "/y")
    server = subprocess.run(["winepath", "-w", dll], capture_output=True, text=True, check=True).stdout.strip()
    try:
        reg("add", LOCATOR_KEY + r"\InprocServer32", "/ve", "/d", server, "/f")
        reg("add", LOCATOR_KEY + r"\InprocServer32", "/v", "ThreadingModel", "/d", "Apartment", "/f")
        print(f"locator class served by {server}")
        yield
    finally:
        reg("delete", LOCATOR_KEY, "/f")
        reg("import", saved)
    restored = os.path.join(folder, "restored.reg")
    reg("export", LOCATOR_KEY, restored, "/y")
    with open(saved, "rb") as before, open(restored, "rb") as after:
        if before.read() != after.read():
            sys.exit("the locator's registration was not restored")


def served_against_simulated(folder, simulated_machine):
    """Output and log of `simulated_machine` in-process, against the same
    machine taking its teaming provider from the system's WMI."""
    system = machine_variant(folder, "system.json", lambda m: (m.update(teamingProvider="system"), m)[1], MIXED)
    expected = kvlhost("--machine", simulated_machine)
    actual = kvlhost("--machine", system, env_extra={"LINKSCOPE_STANDIN_MACHINE": simulated_machine})
    print("\n".join(line for line in actual[1].splitlines()
                    if any(word in line for word in ("wmitools", "WMI", "Query", "ASSOCIATORS", "REFERENCES"))))
    return expected, differences("output", expected[0], actual[0]) + differences("log", expected[1], actual[1])


def failing_queries(machine):
    """The web team's VLAN services and the storage team's second member's
    memberships cannot be queried."""
    web, storage = machine["teamingProvider"]["teams"]
    web["virtualAdapters"][0]["vlanServiceQueryResult"] = "0x80041001"
    storage["members"][1]["membershipQueryResult"] = "0x80041002"
    return machine


def check_wmi():
    with tempfile.TemporaryDirectory() as folder:
        failing = machine_variant(folder, "failing.json", failing_queries, MIXED)
        with locator_registered(folder, os.environ["STANDIN_WMI"]):
            served, problems = served_against_simulated(folder, MIXED)
            failed, more = served_against_simulated(folder, failing)
    # Both runs must have gone through the provider, not just agreed on nothing.
    for text, wanted in ((served[0], "TEAM : Storage"), (served[0], "VLAN_Back"),
                         (failed[1], "Query for status information failed")):
        if wanted not in text:
            problems.append(f"the simulated run lacks {wanted!r}")
    return problems + more


def wow64_mode():
    """The Wow64Mode value as a number, or None when it is not there."""
    found = reg("query", WOW64_KEY, "/v", "Wow64Mode", check=False)
    if found is None:
        return None
    words = [line.split() for line in found.splitlines() if "Wow64Mode" in line]
    return int(words[0][-1], 0) if words else None


def check_wow64():
    with tempfile.TemporaryDirectory() as work:
        kvlhost("--class", "QRXSG_IPService", cwd=work)
    problems = []
    after_run = wow64_mode()
    print(f"Wow64Mode after the 64-bit run: {'absent' if after_run is None else after_run}")
    if after_run is not None:
        problems.append("a 64-bit process wrote Wow64Mode")
    # The same query finds a value that is there, so "absent" is an answer.
    reg("add", WOW64_KEY, "/v", "Wow64Mode", "/t", "REG_DWORD", "/d", "1", "/f")
    written = wow64_mode()
    reg("delete", WOW64_KEY.rsplit("\\", 1)[0], "/f")
    if written != 1:
        problems.append(f"a Wow64Mode value written with reg add reads as {written}")
    return problems


CHECKS = {"no-software": check_no_software, "library": check_library, "exports": check_exports,
          "wmi": check_wmi, "wow64": check_wow64}

if __name__ == "__main__":
    if len(sys.argv) != 2 or sys.argv[1] not in CHECKS:
        sys.exit(f"usage: vendor_paths_check.py {'|'.join(CHECKS)}")
    found = CHECKS[sys.argv[1]]()
    for problem in found:
        print("MISMATCH " + problem)
    print(f"{sys.argv[1]}: {'ok' if not found else 'mismatches'}")
    sys.exit(1 if found else 0)
