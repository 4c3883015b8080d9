#include "held_associations.h"

#include <algorithm>

#include "kvl/root.h"

namespace kvlhost {

using namespace NQRXKVL20;

void HeldAssociations::Begin(const std::string& name, unsigned long long lastOrdinal) {
    Query query;
    query.name = name;
    query.firstOrdinal = lastOrdinal + 1;
    query.instancesBegin = query.instancesEnd = instances_.size();
    queries_.push_back(std::move(query));
}

void HeldAssociations::Hold(const THubInstance& instance) {
    for (const THubProperty& property : instance.Properties()) {
        properties_.push_back(Property{property.name, property.value});
    }
    instances_.push_back(Instance{&instance.ClassName(), instance.Ordinal() - queries_.back().firstOrdinal,
                                 properties_.size()});
}

void HeldAssociations::HoldMessage(int level, const std::string& text) {
    queries_.back().messages.push_back(TLogEntry{level, text});
}

void HeldAssociations::End(unsigned long long lastOrdinal) {
    Query& query = queries_.back();
    query.ordinals = lastOrdinal + 1 - query.firstOrdinal;
    query.instancesEnd = instances_.size();
}

bool HeldAssociations::Holds(const std::string& name) const {
    return std::any_of(queries_.begin(), queries_.end(), [&](const Query& query) { return query.name == name; });
}

void HeldAssociations::Replay(const std::string& name, TPluginManagerNamespace& manager) const {
    const auto query = std::find_if(queries_.begin(), queries_.end(), [&](const Query& q) { return q.name == name; });
    if (query == queries_.end()) return;
    for (const TLogEntry& message : query->messages) TRootObject::CoreLogger().Log(message.level, message.text);
    const unsigned long long lastOrdinal = manager.LastOrdinal();
    const std::string* className = nullptr;
    boost::shared_ptr<ICIMClass> cls;
    std::size_t property = query->instancesBegin == 0 ? 0 : instances_[query->instancesBegin - 1].propertiesEnd;
    for (std::size_t i = query->instancesBegin; i < query->instancesEnd; ++i) {
        const Instance& held = instances_[i];
        if (held.className != className) {
            className = held.className;
            cls = manager.GetClass(*className, TCIMPropertyMap());
        }
        manager.RestoreOrdinal(lastOrdinal + held.ordinal);
        const boost::shared_ptr<ICIMInstance> instance = cls->CreateInstance(TCIMPropertyMap());
        for (; property < held.propertiesEnd; ++property) {
            instance->SetProperty(*properties_[property].name, properties_[property].value, TCIMPropertyMap());
        }
        instance->Commit(TCIMPropertyMap());
    }
    manager.RestoreOrdinal(lastOrdinal + query->ordinals);
}

}  // namespace kvlhost
