// An instance of the store: ordered properties, object path, commit.
#include <algorithm>

#include <boost/make_shared.hpp>

#include "kvl/hub.h"

namespace NQRXKVL20 {

namespace {

constexpr std::size_t kFirstReservation = 8;

// What GetProperty hands out: a snapshot of the value at the time of asking.
class TPropertySnapshot : public ICIMProperty {
public:
    explicit TPropertySnapshot(const TCIMValue& value) : value_(value) {}
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

void THubInstance::Renew(boost::shared_ptr<const THubClassShape> shape) {
    shape_ = std::move(shape);
    ordinal_ = ns_->NextOrdinal();
    count_ = 0;
    keyPositions_.clear();
    std::fill(setNames_.begin(), setNames_.end(), 0);
}

// The path is written into one text the thread keeps and then copied at
// its exact length, the length the reference keeps it at.
TCIMReference THubInstance::GetReference(TCIMPropertyMap) {
    thread_local std::string path;
    const bool keyless = WritePath(path);
    return TCIMReference::FromPath(ns_->weak_from_this().lock(), shape_->name, path, keyless,
                                   keyless ? ordinal_ : 0);
}

// The class's key properties that are set (and not null), in name order.
// A class without key properties names its instances by every property
// they carry, so that an instance built again with the same values (as an
// association's enumeration of its ends does) has the same path. An
// instance with no property at all is told apart by its ordinal.
THubInstance::KeyValues THubInstance::SetKeys() const {
    KeyValues keys;
    if (shape_->keys.empty()) {
        for (const THubProperty& property : Properties()) {
            if (!property.value.IsNull()) keys.emplace_back(property.name, &property.value);
        }
        std::sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return *a.first < *b.first; });
        return keys;
    }
    for (const auto& key : keyPositions_) {
        const THubProperty& property = properties_[key.second];
        if (!property.value.IsNull()) keys.emplace_back(property.name, &property.value);
    }
    return keys;
}

bool THubInstance::WritePath(std::string& path) const {
    const KeyValues keys = SetKeys();
    path.clear();
    AppendObjectPath(path, shape_->name, keys.data(), keys.size(), keys.empty() ? ordinal_ : 0);
    return keys.empty();
}

boost::shared_ptr<ICIMProperty> THubInstance::GetProperty(const std::string& name,
                                                          TCIMPropertyMap) {
    for (const THubProperty& property : Properties()) {
        if (*property.name == name) return boost::make_shared<TPropertySnapshot>(property.value);
    }
    return boost::shared_ptr<ICIMProperty>();
}

// A new property takes the next slot, whose value, left from an earlier
// life of the instance, is mostly of the same kind and size, so that the
// copy reuses its memory.
void THubInstance::SetProperty(const std::string& name, const TCIMValue& value,
                               TCIMPropertyMap) {
    const THubClassShape::TName interned = shape_->PropertyName(name, count_);
    const std::size_t word = interned.number / 64;
    const std::uint64_t bit = std::uint64_t{1} << (interned.number % 64);
    if (word < setNames_.size() && (setNames_[word] & bit)) {
        for (std::size_t i = 0; i < count_; ++i) {
            if (properties_[i].name == interned.text) {
                properties_[i].value = value;
                return;
            }
        }
    }
    if (word >= setNames_.size()) setNames_.resize(word + 1, 0);
    setNames_[word] |= bit;
    if (properties_.empty()) {
        properties_.reserve(propertyCount_ && *propertyCount_ ? *propertyCount_ : kFirstReservation);
    }
    if (interned.key) {
        const auto later = std::find_if(keyPositions_.begin(), keyPositions_.end(),
                                        [&](const auto& key) { return key.first > interned.number; });
        keyPositions_.insert(later, {interned.number, count_});
    }
    if (count_ < properties_.size()) {
        properties_[count_].name = interned.text;
        properties_[count_].value = value;
    } else {
        properties_.push_back(THubProperty{interned.text, value});
    }
    ++count_;
    if (propertyCount_ && count_ > *propertyCount_) *propertyCount_ = count_;
}

}  // namespace NQRXKVL20
