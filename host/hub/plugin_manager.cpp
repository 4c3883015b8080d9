// The plug-in manager: class table, registered plug-ins, commit routing.
#include <algorithm>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>

#include "class_table.h"
#include "kvl/hub.h"

namespace NQRXKVL20 {

namespace {

// A plug-in that enumerates from inside its own query is legitimate (an
// association enumerates its ends); one that does so without end is not.
const std::size_t kMaxEnumerationDepth = 16;

// Keeps a sink on the stack for the length of one enumeration, also when
// an exception passes.
class SinkGuard {
public:
    SinkGuard(std::vector<const TInstanceCallback*>& sinks, const TInstanceCallback* sink)
        : sinks_(sinks) {
        sinks_.push_back(sink);
    }
    ~SinkGuard() { sinks_.pop_back(); }
    SinkGuard(const SinkGuard&) = delete;
    SinkGuard& operator=(const SinkGuard&) = delete;

private:
    std::vector<const TInstanceCallback*>& sinks_;
};

}  // namespace

THubClassShape::THubClassShape(const std::string& className, std::vector<std::string> keyNames,
                               bool isAssociation)
    : name(className), keys(std::move(keyNames)), association(isAssociation) {
    std::sort(keys.begin(), keys.end());  // the order object paths list them in
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    for (const std::string& key : keys) propertyNames_.emplace(key, TNameInfo{true, propertyNames_.size()});
}

THubClassShape::TName THubClassShape::PropertyName(const std::string& propertyName, std::size_t position) const {
    if (position < firstOrder_.size() && firstOrder_[position]->first == propertyName) {
        return {&firstOrder_[position]->first, firstOrder_[position]->second.key, firstOrder_[position]->second.number};
    }
    auto entry = propertyNames_.find(propertyName);
    if (entry == propertyNames_.end()) {
        entry = propertyNames_.emplace(propertyName, TNameInfo{false, propertyNames_.size()}).first;
    }
    if (position == firstOrder_.size()) firstOrder_.push_back(&*entry);
    return {&entry->first, entry->second.key, entry->second.number};
}

TPluginManagerNamespace::TPluginManagerNamespace() { DefineHostClasses(*this); }

TPluginManagerNamespace::~TPluginManagerNamespace() = default;

boost::shared_ptr<ICIMClass> TPluginManagerNamespace::GetClass(const std::string& name,
                                                               TCIMPropertyMap) {
    auto found = classes_.find(name);
    if (found == classes_.end()) throw TKVLException(kKVLStatusInvalidClass, name);
    if (found->second.lookupStatus != kKVLStatusOk) throw TKVLException(found->second.lookupStatus, name);
    return found->second.object;
}

void TPluginManagerNamespace::RegisterPlugin(IPluginCallbacks* plugin) {
    if (plugin) plugins_.push_back(plugin);
}

void TPluginManagerNamespace::DefineClass(const std::string& name,
                                          const std::vector<std::string>& keys, bool association) {
    ClassEntry& entry = classes_[name];
    entry.shape = boost::make_shared<THubClassShape>(name, keys, association);
    if (!entry.object) entry.object = boost::make_shared<THubClass>(this, name);
    entry.object->shape_ = entry.shape;
}

bool TPluginManagerNamespace::HasClass(const std::string& name) const {
    return classes_.count(name) != 0;
}

bool TPluginManagerNamespace::IsAssociation(const std::string& name) const {
    return ShapeOf(name)->association;
}

void TPluginManagerNamespace::SetLookupStatus(const std::string& name, TKVLStatusCode status) {
    auto found = classes_.find(name);
    if (found == classes_.end()) throw TKVLException(kKVLStatusInvalidClass, name);
    found->second.lookupStatus = status;
}

void TPluginManagerNamespace::AddStaticInstance(const std::string& className,
                                                const TCIMPropertyMap& properties) {
    auto found = classes_.find(className);
    if (found == classes_.end()) throw TKVLException(kKVLStatusInvalidClass, className);
    found->second.statics.push_back(properties);
}

boost::shared_ptr<const THubClassShape> TPluginManagerNamespace::ShapeOf(const std::string& className) const {
    auto found = classes_.find(className);
    if (found == classes_.end()) throw TKVLException(kKVLStatusInvalidClass, className);
    return found->second.shape;
}

void TPluginManagerNamespace::Deliver(const boost::shared_ptr<THubInstance>& instance) {
    if (!sinks_.empty()) {
        (*sinks_.back())(instance);
    } else if (commitSink_) {
        commitSink_(*instance);
    } else {
        committed_.push_back(instance);
    }
}

void TPluginManagerNamespace::Enumerate(THubClass& cls, const TInstanceCallback& callback) {
    const std::string name = cls.GetName(TCIMPropertyMap());
    if (sinks_.size() >= kMaxEnumerationDepth) {
        throw TKVLException(kKVLStatusFailed, "enumerations nested more than " +
                                                  std::to_string(kMaxEnumerationDepth) +
                                                  " deep at " + name);
    }
    const boost::shared_ptr<ICIMNamespace> self = shared_from_this();
    const std::vector<boost::shared_ptr<ICIMClass> > request{cls.shared_from_this()};
    // Copies: a plug-in may register, or a caller add statics, meanwhile.
    const std::vector<IPluginCallbacks*> plugins = plugins_;
    const std::vector<TCIMPropertyMap> statics = classes_.at(name).statics;

    SinkGuard guard(sinks_, &callback);
    for (IPluginCallbacks* plugin : plugins) {
        if (auto* query = dynamic_cast<IPluginBasicQueryCallbacks*>(plugin)) {
            query->QueryInstances(self, request);
        }
    }
    for (const TCIMPropertyMap& properties : statics) {
        auto instance = boost::make_shared<THubInstance>(this, name);
        for (const auto& property : properties) {
            instance->SetProperty(property.first, property.second, TCIMPropertyMap());
        }
        callback(instance);
    }
}

boost::shared_ptr<ICIMNamespace> TRootObject::GetPluginManager() {
    static const boost::shared_ptr<TPluginManagerNamespace> manager =
        boost::make_shared<TPluginManagerNamespace>();
    return manager;
}

}  // namespace NQRXKVL20
