// The calling conventions of the IP Helper calls that fill a caller's
// buffer and report a too-small one by a result code and the size needed.
#pragma once

#include <cstdint>

#include "platform/result_codes.h"
#include "platform/win32/os_resources.h"

namespace linkscope::win32 {

// Calls `call(buffer, &size)` twice: first with `block` as it is; when that
// answers `retryCode` (and only then) the block is freed and one of the
// reported size allocated. The second call is made in every case, with the
// block's size, and its result is the one returned. A block that cannot be
// allocated ends the dance with kNotEnoughMemory, the block empty.
template <class Call>
platform::ResultCode CallTwice(GlobalBlock& block, platform::ResultCode retryCode, Call&& call) {
    ULONG size = static_cast<ULONG>(block.Size());
    const platform::ResultCode first = call(block.Get(), &size);
    if (first == retryCode && !block.Reallocate(size)) return platform::kNotEnoughMemory;
    size = static_cast<ULONG>(block.Size());
    return call(block.Get(), &size);
}

// Calls `call(buffer, &size)` first without a buffer and a size of 0, then,
// while it answers kBufferOverflow, again with a fresh malloc'd block of
// the reported size, at most `maxCalls` calls in all. Returns the last
// call's result, or kNotEnoughMemory when a block cannot be allocated.
template <class Call>
platform::ResultCode CallGrowing(MallocBlock& block, int maxCalls, Call&& call) {
    ULONG size = 0;
    platform::ResultCode result = call(nullptr, &size);
    for (int calls = 1; result == platform::kBufferOverflow && calls < maxCalls; ++calls) {
        if (!block.Reallocate(size)) return platform::kNotEnoughMemory;
        size = static_cast<ULONG>(block.Size());
        result = call(block.Get(), &size);
    }
    return result;
}

}  // namespace linkscope::win32
