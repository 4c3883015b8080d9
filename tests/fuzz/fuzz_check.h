// What every fuzz target provides, and how it reports a broken invariant:
// a message on stderr and an abort, which libFuzzer records as a crash
// with its input and the replay test reports as a failed test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                          \
    do {                                                                                               \
        if (!(condition)) {                                                                            \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                              \
        }                                                                                              \
    } while (false)

namespace linkscope::fuzz {

// One target: decodes the input, runs the reader and checks its answer.
using Target = void (*)(const std::uint8_t* data, std::size_t size);

}  // namespace linkscope::fuzz
