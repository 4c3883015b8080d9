#!/usr/bin/env python3
"""Runs commands a number of times with their output sent to /dev/null and
prints, one line per command, the median wall time in milliseconds, the
median peak resident set size in MB (the kernel's count for the finished
process, as GNU time reports it) and the size of one run's output in MB.

Several commands, separated by "--", are run in turn in every round, so
that a machine whose speed drifts during the measurement slows them alike
and their ratios hold.

Each command is started through /usr/bin/time: a process forked from this
script would be charged this script's own resident pages, which the kernel
counts up to the exec.

    bench/measure.py RUNS COMMAND [ARG...] [-- COMMAND [ARG...]]...

A first run of each only warms up (caches, page cache of the libraries);
the output size is taken from it. A command that fails ends the
measurement with its exit status and its stderr.
"""
import os
import statistics
import subprocess
import sys
import time


GNU_TIME = "/usr/bin/time"


def run_once(command, stdout):
    start = time.perf_counter()
    # The peak in KiB is the last line of stderr.
    result = subprocess.run([GNU_TIME, "-f", "%M", *command], stdout=stdout, stderr=subprocess.PIPE, check=False)
    elapsed_ms = (time.perf_counter() - start) * 1000
    stderr = result.stderr.decode(errors="replace").strip()
    if result.returncode != 0:
        sys.exit(f"measure: {' '.join(command)} exited {result.returncode}: {stderr}")
    return elapsed_ms, int(stderr.splitlines()[-1]) / 1024


def main():
    if len(sys.argv) < 3 or not sys.argv[1].isdigit():
        sys.exit(__doc__.strip())
    runs, commands = int(sys.argv[1]), [[]]
    for word in sys.argv[2:]:
        if word == "--":
            commands.append([])
        else:
            commands[-1].append(word)
    if not all(commands):
        sys.exit(__doc__.strip())
    if not os.access(GNU_TIME, os.X_OK):
        sys.exit(f"measure: needs {GNU_TIME} (Debian package time)")
    with open(os.devnull, "wb") as null:
        outputs_mb = []
        for command in commands:
            size_probe = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
            outputs_mb.append(len(size_probe.stdout) / 1e6)
        times, peaks = [[] for _ in commands], [[] for _ in commands]
        for _ in range(runs):
            for i, command in enumerate(commands):
                elapsed, peak = run_once(command, null)
                times[i].append(elapsed)
                peaks[i].append(peak)
    for i in range(len(commands)):
        print(f"{statistics.median(times[i]):.1f} {statistics.median(peaks[i]):.1f} {outputs_mb[i]:.1f}")


if __name__ == "__main__":
    main()
