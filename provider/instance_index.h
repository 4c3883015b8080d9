// The instances of one class that the host holds, found by one key
// property: the association sections' way to find their ends without a
// scan of the enumerated list per lookup.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "kvl/interfaces.h"
#include "provider/query_context.h"

namespace linkscope::provider {

class InstanceIndex {
public:
    // Tells whether an enumerated instance may be found at all.
    using Admit = bool (*)(NQRXKVL20::ICIMInstance& instance);

    // Looks the class up (with the query's lookup context), enumerates its
    // instances through the host and reads `keyProperty` of each as a
    // string. With `admit`, only the instances it admits are indexed, so
    // that a lookup finds the first instance that has the key and is
    // admitted. An instance without the key property is a broken
    // precondition that the host's assertion handler reports; host
    // exceptions pass.
    InstanceIndex(const QueryContext& query, const char* className, const char* keyProperty,
                  Admit admit = nullptr);

    // The object path, as a reference value, of the first instance
    // enumerated whose key reads `key` (as a scan of the enumeration from
    // its beginning finds it), or null when there is none. The value stays
    // valid as long as the index.
    const NQRXKVL20::TCIMValue* FindPath(const std::string& key) const;

private:
    // The paths in enumeration order, and the position of each key's.
    std::vector<NQRXKVL20::TCIMValue> paths_;
    std::unordered_map<std::string, std::size_t> first_;
};

}  // namespace linkscope::provider
