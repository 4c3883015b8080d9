// The instances of one class that the host holds, found by one key
// property: the association sections' way to find their ends without a
// scan of the enumerated list per lookup.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kvl/interfaces.h"
#include "platform/position_index.h"
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
    // The keys, one after another in one text, and where each ends; the
    // paths in the same order; and the position of each key's first path.
    // No key needs a memory block of its own.
    struct KeyAt {
        const InstanceIndex* index;
        std::string_view operator()(std::size_t at) const { return index->Key(at); }
    };
    std::string_view Key(std::size_t at) const {
        const std::size_t begin = at == 0 ? 0 : keyEnds_[at - 1];
        return std::string_view(keys_).substr(begin, keyEnds_[at] - begin);
    }

    std::string keys_;
    std::vector<std::size_t> keyEnds_;
    std::vector<NQRXKVL20::TCIMValue> paths_;
    PositionIndex first_;
};

}  // namespace linkscope::provider
