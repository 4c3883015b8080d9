#!/usr/bin/env bash
# Times the whole live inventory (kvlhost: collect, every class, JSON
# printed) of a network namespace with many interfaces against
# `ip -j addr show` in the same namespace, side by side.
#
#   bench/linux/namespace_inventory.sh [--kvlhost PATH] [--runs N] [COUNT...]
#
# COUNTs (default: 1000 4000) are interface totals, reached in increasing
# order in one namespace: each step adds ifb interfaces, each up with one
# IPv4 and one IPv6 address (no link-local ones). Each timing is the median
# of N runs (default 5) after one warm-up run, output sent to /dev/null.
# Needs root; the namespace is removed on any exit.
set -euo pipefail
cd "$(dirname "$0")/../.."

kvlhost=build/default/bin/kvlhost
runs=5
counts=()
while (($#)); do
    case "$1" in
        --kvlhost) kvlhost="$2"; shift 2 ;;
        --runs) runs="$2"; shift 2 ;;
        -h|--help) sed -n '2,13p' "$0"; exit 0 ;;
        *) counts+=("$1"); shift ;;
    esac
done
((${#counts[@]})) || counts=(1000 4000)
kvlhost=$(realpath "$kvlhost")
[ -x "$kvlhost" ] || { echo "bench: no kvlhost at $kvlhost (build first, or give --kvlhost)" >&2; exit 2; }

ns="lsbench-$$"
batch=$(mktemp)
cleanup() {
    ip netns del "$ns" 2>/dev/null || true
    rm -f "$batch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

ip netns add "$ns" || { echo "bench: cannot create a network namespace (run as root)" >&2; exit 2; }
for conf in default all; do
    ip netns exec "$ns" sh -c "echo 1 > /proc/sys/net/ipv6/conf/$conf/addr_gen_mode"
done
ip -n "$ns" link set lo up

# Interfaces [from, to): ifbN with 10.(N/256).(N%256).1/24 and fd00:0:0:N::1/64.
add_interfaces() {
    local from=$1 to=$2 i
    : >"$batch"
    for ((i = from; i < to; i++)); do
        printf 'link add ifb%d type ifb\nlink set ifb%d up\naddr add 10.%d.%d.1/24 dev ifb%d\naddr add fd00:0:0:%x::1/64 dev ifb%d nodad\n' \
            "$i" "$i" $((i / 256)) $((i % 256)) "$i" "$i" "$i" >>"$batch"
    done
    ip -n "$ns" -batch "$batch"
}

# One table row: the median milliseconds of `ip -j addr show`, of the whole
# inventory, and of a run that collects everything but prints only the IP
# service (the backend's and the collectors' share), all run inside the
# namespace; the inventory's time is also appended to the file $3.
time_row() {
    ip netns exec "$ns" python3 - "$runs" "$kvlhost" "$@" <<'PYTHON'
import statistics, subprocess, sys, time
runs, kvlhost, count, made, record = int(sys.argv[1]), sys.argv[2], int(sys.argv[3]), float(sys.argv[4]), sys.argv[5]

def median_ms(command):
    times = []
    for attempt in range(runs + 1):  # the first run only warms up
        start = time.perf_counter()
        subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        if attempt:
            times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)

ip = median_ms(["ip", "-j", "addr", "show"])
inventory = median_ms([kvlhost, "--format", "json"])
collect = median_ms([kvlhost, "--format", "json", "--class", "QRXSG_IPService"])
print(f"{count:10d}  {ip:20.1f}  {inventory:20.1f}  {inventory / ip:6.2f}  {collect:20.1f}"
      f"   (interfaces made in {made:.1f} s)")
with open(record, "a") as out:
    out.write(f"{count} {inventory}\n")
PYTHON
}

record=$(mktemp)
trap 'cleanup; rm -f "$record"' EXIT
printf '%10s  %20s  %20s  %6s  %20s\n' interfaces "ip -j addr show (ms)" "full inventory (ms)" ratio \
    "collect only (ms)"
have=0
for count in "${counts[@]}"; do
    started=$EPOCHREALTIME
    add_interfaces "$have" "$count"
    have=$count
    made=$(python3 -c "print($EPOCHREALTIME - $started)")
    time_row "$count" "$made" "$record"
done
python3 - "$record" <<'PYTHON'
import sys
rows = [line.split() for line in open(sys.argv[1])]
first_count, first = rows[0][0], float(rows[0][1])
for count, inventory in rows[1:]:
    print(f"kvlhost at {count} interfaces costs {float(inventory) / first:.2f} times kvlhost at {first_count}")
PYTHON
