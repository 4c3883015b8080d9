"""Helpers for the scripts that run the runner and compare its inventory
with machine files, golden output or what iproute2 says of the same
interfaces."""
import ipaddress
import json
import os
import subprocess

DEVICE_PREFIX = "\\DEVICE\\TCPIP_"


def ip_json(*args):
    """`ip -j ARGS` as parsed JSON."""
    return json.loads(subprocess.run(["ip", "-j", *args], check=True, capture_output=True, text=True).stdout or "[]")


def of_class(instances, name):
    return [instance["properties"] for instance in instances if instance["class"] == name]


def ipv6_text(address):
    """An IPv6 address as the inventory writes it: eight groups, no
    shortening, a zero digit between a non-zero high byte and a low byte
    below 16."""
    raw = ipaddress.IPv6Address(address).packed
    return ":".join(f"{high:X}0{low:X}" if low < 16 and high != 0 else f"{high:X}{low:X}"
                    for high, low in zip(raw[0::2], raw[1::2]))


def run_kvlhost(*args, env_extra=None):
    """The runner (KVLHOST) with `args`, the variable it sets itself
    cleared first."""
    env = {k: v for k, v in os.environ.items() if k != "KVL_EXCLUDEIP"}
    env.update(env_extra or {})
    return subprocess.run([os.environ.get("KVLHOST", "kvlhost"), *args], capture_output=True, text=True, env=env,
                          timeout=60)
