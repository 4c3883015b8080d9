// TCIMReference: an object path and its WBEM URI text.
#include <string>

#include <boost/weak_ptr.hpp>

#include "kvl/values.h"

namespace NQRXKVL20 {

// The namespace is held weakly: references live in instances that the
// namespace itself keeps, and a strong pointer would make a cycle.
struct TCIMReference::Data {
    boost::weak_ptr<ICIMNamespace> ns;
    std::string className;
    TCIMPropertyMap keys;
    unsigned long long ordinal = 0;  // 0: none
};

namespace {

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Numbers stand bare in a path; texts, references and arrays are quoted.
std::string KeyValueText(const TCIMValue& value) {
    switch (value.GetType()) {
        case kCIMTypeUInt16:
        case kCIMTypeUInt32:
        case kCIMTypeUInt64:
            return value.ToString(10);
        case kCIMTypeBoolean:
            return value.AsBool() ? "TRUE" : "FALSE";
        default:
            return Quoted(value.ToString(10));
    }
}

}  // namespace

TCIMReference::TCIMReference() : data_(new Data) {}

TCIMReference::TCIMReference(boost::shared_ptr<ICIMNamespace> ns, const TCIMPropertyMap& keys)
    : data_(new Data{ns, std::string(), keys}) {}

TCIMReference::TCIMReference(boost::shared_ptr<ICIMNamespace> ns, const std::string& className,
                             const TCIMPropertyMap& keys)
    : data_(new Data{ns, className, keys}) {}

TCIMReference::TCIMReference(boost::shared_ptr<ICIMNamespace> ns, const std::string& className,
                             TCIMPropertyMap&& keys)
    : data_(new Data{ns, className, std::move(keys)}) {}

TCIMReference::TCIMReference(const TCIMReference& other) : data_(new Data(*other.data_)) {}

// The moved-from reference takes over a fresh empty state, since every
// operation expects one to be there.
TCIMReference::TCIMReference(TCIMReference&& other) noexcept : data_(new Data) { data_.swap(other.data_); }

TCIMReference& TCIMReference::operator=(TCIMReference&& other) noexcept {
    data_.swap(other.data_);
    return *this;
}

TCIMReference& TCIMReference::operator=(const TCIMReference& other) {
    if (this != &other) *data_ = *other.data_;
    return *this;
}

TCIMReference::~TCIMReference() = default;

bool TCIMReference::operator==(const TCIMReference& other) const {
    const Data& a = *data_;
    const Data& b = *other.data_;
    const bool sameNamespace = !a.ns.owner_before(b.ns) && !b.ns.owner_before(a.ns);
    return sameNamespace && a.className == b.className && a.ordinal == b.ordinal &&
           a.keys == b.keys;
}

const std::string& TCIMReference::ClassName() const { return data_->className; }
const TCIMPropertyMap& TCIMReference::Keys() const { return data_->keys; }
void TCIMReference::SetOrdinal(unsigned long long ordinal) { data_->ordinal = ordinal; }

std::string TCIMReference::ToString() const {
    std::string path = data_->className;
    if (data_->keys.empty()) {
        if (data_->ordinal != 0) path += "=@" + std::to_string(data_->ordinal);
        return path;
    }
    char separator = '.';
    for (const auto& key : data_->keys) {
        path += separator;
        path += key.first + "=" + KeyValueText(key.second);
        separator = ',';
    }
    return path;
}

}  // namespace NQRXKVL20
