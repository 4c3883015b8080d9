// libFuzzer's entry point for the one target this binary is built for.
#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LINKSCOPE_FUZZ_TARGET(data, size);
    return 0;
}
