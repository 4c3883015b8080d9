// Test support: the status code of the host exception an action throws.
#pragma once

#include <limits>

#include "kvl/values.h"

namespace linkscope::testing {

inline constexpr NQRXKVL20::TKVLStatusCode kNothingThrown = std::numeric_limits<NQRXKVL20::TKVLStatusCode>::max();

template <class Action>
NQRXKVL20::TKVLStatusCode StatusOf(Action&& action) {
    try {
        action();
    } catch (const NQRXKVL20::TKVLException& error) {
        return error.GetStatusCode();
    }
    return kNothingThrown;
}

}  // namespace linkscope::testing
