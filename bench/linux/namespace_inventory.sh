#!/usr/bin/env bash
# Time and peak memory of the whole live inventory (kvlhost: collect, every
# class, printed as JSON and as MOF) of a network namespace with many
# interfaces against `ip -j addr show` in the same namespace, side by side.
#
#   bench/linux/namespace_inventory.sh [--kvlhost PATH] [--runs N] [COUNT...]
#
# COUNTs (default: 1000 4000) are interface totals, reached in increasing
# order in one namespace: each step adds ifb interfaces, each up with one
# IPv4 and one IPv6 address (no link-local ones). Each timing is the median
# of N runs (default 5) after one warm-up run, output sent to /dev/null, the
# commands of a row taking turns in every round; peak RSS is the kernel's
# count for the finished process (bench/measure.py). Needs root; the
# namespace is removed on any exit.
set -euo pipefail
script=$(realpath "$0")
cd "$(dirname "$0")/../.."
source bench/bench_options.sh
read_bench_options "$script" 2,14 "1000 4000" "$@"

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

# One table row: median time and peak RSS of `ip -j addr show`, of the
# whole inventory in either format, and of a run that collects everything
# but prints only the IP service (the backend's and the collectors' share),
# all run inside the namespace; the JSON inventory's time is also appended
# to the file $3.
time_row() {
    local count=$1 made=$2 record=$3 ip json mof collect
    {
        read -r -a ip
        read -r -a json
        read -r -a mof
        read -r -a collect
    } < <(ip netns exec "$ns" python3 bench/measure.py "$runs" ip -j addr show -- "$kvlhost" --format json \
        -- "$kvlhost" --format mof -- "$kvlhost" --class QRXSG_IPService)
    python3 - "$count" "$made" "${ip[@]}" "${json[@]}" "${mof[@]}" "${collect[0]}" <<'PYTHON'
import sys
count, made = int(sys.argv[1]), float(sys.argv[2])
ip_ms, ip_mb, _, json_ms, json_mb, json_out, mof_ms, mof_mb, mof_out, collect_ms = map(float, sys.argv[3:])
print(f"{count:10d}  {ip_ms:8.1f} {ip_mb:6.1f}  {json_ms:8.1f} {json_mb:6.1f} {json_out:6.1f}  "
      f"{json_ms / ip_ms:5.2f} {json_mb / ip_mb:5.2f}  {mof_ms:8.1f} {mof_mb:6.1f} {mof_out:6.1f}  "
      f"{mof_ms / ip_ms:5.2f} {mof_mb / ip_mb:5.2f}  {collect_ms:8.1f}   (made in {made:.1f} s)")
PYTHON
    echo "$count ${json[0]}" >>"$record"
}

record=$(mktemp)
trap 'cleanup; rm -f "$record"' EXIT
echo "ms: median time; MB: median peak RSS; out: output MB; x: kvlhost over ip (time, memory)"
printf '%10s  %15s  %22s  %11s  %22s  %11s  %8s\n' "" "ip -j addr show" "kvlhost (JSON)" "" "kvlhost (MOF)" "" collect
printf '%10s  %8s %6s  %8s %6s %6s  %5s %5s  %8s %6s %6s  %5s %5s  %8s\n' \
    interfaces ms MB ms MB out "x ms" "x MB" ms MB out "x ms" "x MB" ms
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
