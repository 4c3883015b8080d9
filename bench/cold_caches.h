// Evicts the processor caches between timed runs. The plug-in collects once
// per load, so a real collection never finds the machine's data in cache;
// without this, a small machine's data stays cached from one iteration to
// the next while a large machine's cannot, and the comparison between the
// two measures cache sizes instead of the collection.
#pragma once

#include <cstddef>
#include <vector>

#include <benchmark/benchmark.h>

namespace linkscope::bench {

inline void EvictCaches() {
    static std::vector<char> buffer(64u << 20);  // well past any last-level cache here
    for (std::size_t i = 0; i < buffer.size(); i += 64) buffer[i] = static_cast<char>(buffer[i] + 1);
    benchmark::ClobberMemory();
}

}  // namespace linkscope::bench
