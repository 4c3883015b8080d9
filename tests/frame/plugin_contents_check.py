#!/usr/bin/env python3
"""The product plug-in holds only its system's own backend: nothing of the
simulated machine, its JSON reader or its set-up export, and no machine
variable. The simulated plug-in holds the same traces, which shows that a
build leaves them where that code is linked in.

    plugin_contents_check.py PRODUCT SIMULATED
"""
import sys

# Type names of the simulation's and the JSON reader's classes, which run
# time type information keeps in any build, and the set-up export's name.
SIMULATION_TRACES = [b"N9linkscope3sim", b"nlohmann", b"linkscope_simulate_machine"]


def main(product_path, simulated_path):
    with open(product_path, "rb") as file:
        product = file.read()
    with open(simulated_path, "rb") as file:
        simulated = file.read()
    failures = [f"{product_path} holds {trace!r}" for trace in SIMULATION_TRACES + [b"KVLHOST_MACHINE"]
                if trace in product]
    failures += [f"{simulated_path} lacks {trace!r}" for trace in SIMULATION_TRACES if trace not in simulated]
    failures += [f"{path} lacks b'KVL_EXCLUDEIP'" for path, data in ((product_path, product),
                                                                     (simulated_path, simulated))
                 if b"KVL_EXCLUDEIP" not in data]
    print("\n".join(failures) or "the product plug-in holds no simulation")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
