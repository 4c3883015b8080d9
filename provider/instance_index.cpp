#include "provider/instance_index.h"

namespace linkscope::provider {

using NQRXKVL20::ICIMInstance;
using NQRXKVL20::TCIMPropertyMap;

// Each instance is indexed as the host hands it over, while it is still in
// the cache, and let go at once: the index keeps only the paths of the
// instances it can find. Holding all 10,000 ports of a large machine and
// walking them again once the last was built cost twice the time per port
// that 1,000 ports cost.
InstanceIndex::InstanceIndex(const QueryContext& query, const char* className, const char* keyProperty,
                             Admit admit) {
    const auto add = [&](boost::shared_ptr<ICIMInstance> instance) {
        if (admit && !admit(*instance)) return true;
        const std::string key = instance->GetProperty(keyProperty, TCIMPropertyMap())->GetValue(TCIMPropertyMap());
        // An earlier instance keeps the key; a later one could never be found.
        if (first_.Emplace(key, paths_.size(), KeyAt{this}).second) {
            keys_ += key;
            keyEnds_.push_back(keys_.size());
            paths_.emplace_back(instance->GetReference(TCIMPropertyMap()));
        }
        return true;
    };
    query.ns->GetClass(className, query.lookupContext)
        ->EnumerateInstances(NQRXKVL20::TInstanceCallback(add), true, TCIMPropertyMap());
}

const NQRXKVL20::TCIMValue* InstanceIndex::FindPath(const std::string& key) const {
    const std::size_t found = first_.Find(key, KeyAt{this});
    return found == PositionIndex::npos ? nullptr : &paths_[found];
}

}  // namespace linkscope::provider
