// A store instance's properties as (name, value) pairs, to compare with a
// table written out in a test.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "kvl/hub.h"

namespace linkscope::testing {

using NamedProperties = std::vector<std::pair<std::string, NQRXKVL20::TCIMValue>>;

inline NamedProperties Named(const NQRXKVL20::THubInstance& instance) {
    NamedProperties named;
    for (const NQRXKVL20::THubProperty& property : instance.Properties()) {
        named.emplace_back(*property.name, property.value);
    }
    return named;
}

}  // namespace linkscope::testing
