// An instance of the store: ordered properties, object path, commit.
#include <algorithm>

#include <boost/make_shared.hpp>

#include "kvl/hub.h"

namespace NQRXKVL20 {

namespace {

constexpr std::size_t kFirstReservation = 8;

// What GetProperty hands out: a snapshot of the value at the time of asking.
class THubProperty : public ICIMProperty {
public:
    explicit THubProperty(const TCIMValue& value) : value_(value) {}
    const TCIMValue& GetValue(TCIMPropertyMap) override { return value_; }

private:
    TCIMValue value_;
};

}  // namespace

THubInstance::THubInstance(TPluginManagerNamespace* ns, const std::string& className,
                           std::size_t* propertyCount)
    : ns_(ns),
      shape_(ns->ShapeOf(className)),
      propertyCount_(propertyCount),
      ordinal_(ns->NextOrdinal()) {}

void THubInstance::Commit(TCIMPropertyMap) { ns_->Deliver(shared_from_this()); }

TCIMReference THubInstance::GetReference(TCIMPropertyMap) { return BuildReference(); }

// The class's key properties that are set (and not null), in name order.
// A class without key properties names its instances by every property
// they carry, so that an instance built again with the same values (as an
// association's enumeration of its ends does) has the same path. An
// instance with no property at all is told apart by its ordinal.
THubInstance::KeyValues THubInstance::SetKeys() const {
    KeyValues keys;
    if (shape_->keys.empty()) {
        for (const auto& property : properties_) {
            if (!property.second.IsNull()) keys.emplace_back(&property.first, &property.second);
        }
        std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return *a.first < *b.first; });
        return keys;
    }
    for (const std::string& key : shape_->keys) {
        for (const std::size_t position : keyPositions_) {
            const auto& property = properties_[position];
            if (property.first == key && !property.second.IsNull()) keys.emplace_back(&key, &property.second);
        }
    }
    return keys;
}

TCIMReference THubInstance::BuildReference() const {
    TCIMPropertyMap keys;
    for (const auto& [name, value] : SetKeys()) keys[*name] = *value;
    const bool keyless = keys.empty();
    TCIMReference reference(ns_->weak_from_this().lock(), shape_->name, std::move(keys));
    if (keyless) reference.SetOrdinal(ordinal_);
    return reference;
}

boost::shared_ptr<ICIMProperty> THubInstance::GetProperty(const std::string& name,
                                                          TCIMPropertyMap) {
    for (const auto& property : properties_) {
        if (property.first == name) return boost::make_shared<THubProperty>(property.second);
    }
    return boost::shared_ptr<ICIMProperty>();
}

void THubInstance::SetProperty(const std::string& name, const TCIMValue& value,
                               TCIMPropertyMap) {
    for (auto& property : properties_) {
        if (property.first == name) {
            property.second = value;
            return;
        }
    }
    if (properties_.empty()) {
        properties_.reserve(propertyCount_ && *propertyCount_ ? *propertyCount_ : kFirstReservation);
    }
    const std::vector<std::string>& keys = shape_->keys;
    if (std::find(keys.begin(), keys.end(), name) != keys.end()) keyPositions_.push_back(properties_.size());
    properties_.emplace_back(name, value);
    if (propertyCount_ && properties_.size() > *propertyCount_) *propertyCount_ = properties_.size();
}

// The same text as BuildReference().ToString(), without building the
// reference: an inventory prints tens of thousands of paths.
std::string THubInstance::Path() const {
    const KeyValues keys = SetKeys();
    return ObjectPathText(shape_->name, keys, keys.empty() ? ordinal_ : 0);
}

}  // namespace NQRXKVL20
