#include "provider/instance_index.h"

namespace linkscope::provider {

using NQRXKVL20::ICIMInstance;
using NQRXKVL20::TCIMPropertyMap;

InstanceIndex::InstanceIndex(const QueryContext& query, const char* className, const char* keyProperty,
                             Admit admit) {
    std::vector<boost::shared_ptr<ICIMInstance>> instances;
    query.ns->GetClass(className, query.lookupContext)
        ->EnumerateInstances(NQRXKVL20::TAddToVectorCallback<ICIMInstance>(&instances), true, TCIMPropertyMap());
    entries_.reserve(instances.size());
    first_.reserve(instances.size());
    for (boost::shared_ptr<ICIMInstance>& instance : instances) {
        if (admit && !admit(*instance)) continue;
        std::string key = instance->GetProperty(keyProperty, TCIMPropertyMap())->GetValue(TCIMPropertyMap());
        // An earlier instance keeps the key; a later one could never be found.
        if (first_.try_emplace(std::move(key), entries_.size()).second) {
            entries_.push_back(Entry{std::move(instance), std::nullopt});
        }
    }
}

const NQRXKVL20::TCIMValue* InstanceIndex::FindPath(const std::string& key) {
    const auto found = first_.find(key);
    if (found == first_.end()) return nullptr;
    Entry& entry = entries_[found->second];
    if (!entry.path) entry.path.emplace(entry.instance->GetReference(TCIMPropertyMap()));
    return &*entry.path;
}

}  // namespace linkscope::provider
