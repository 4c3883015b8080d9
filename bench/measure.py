#!/usr/bin/env python3
"""Runs a command a number of times with its output sent to /dev/null and
prints, on one line, the median wall time in milliseconds, the median peak
resident set size in MB (the kernel's count for the finished process, as
wait4 reports it) and the size of one run's output in MB.

    bench/measure.py RUNS COMMAND [ARG...]

The first run only warms up (caches, page cache of the libraries); the
output size is taken from it. A command that fails ends the measurement
with its exit status and its stderr.
"""
import os
import statistics
import subprocess
import sys
import time


def run_once(command, stdout):
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=stdout, stderr=subprocess.PIPE)
    # wait4 gives the child's own rusage; communicate() would reap it first.
    _, status, usage = os.wait4(process.pid, 0)
    elapsed_ms = (time.perf_counter() - start) * 1000
    stderr = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.exit(f"measure: {' '.join(command)} exited {code}: {stderr.strip()}")
    return elapsed_ms, usage.ru_maxrss / 1024  # ru_maxrss is in KiB


def main():
    if len(sys.argv) < 3 or not sys.argv[1].isdigit():
        sys.exit(__doc__.strip())
    runs, command = int(sys.argv[1]), sys.argv[2:]
    with open(os.devnull, "wb") as null:
        size_probe = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
        output_mb = len(size_probe.stdout) / 1e6
        times, peaks = [], []
        for _ in range(runs):
            elapsed, peak = run_once(command, null)
            times.append(elapsed)
            peaks.append(peak)
    print(f"{statistics.median(times):.1f} {statistics.median(peaks):.1f} {output_mb:.1f}")


if __name__ == "__main__":
    main()
