// TCIMReference: an object path and its WBEM URI text.
#include <algorithm>
#include <charconv>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>

#include <boost/weak_ptr.hpp>

#include "kvl/values.h"

namespace NQRXKVL20 {

// The namespace is held weakly: references live in instances that the
// namespace itself keeps, and a strong pointer would make a cycle.
// Copies of a reference share one Data, which nothing changes once it is
// shared (SetOrdinal copies first). Like the rest of the store, not
// thread-safe. The class name is one shared copy per distinct name: an
// association query holds the paths of thousands of instances of a few
// classes.
struct TCIMReference::Data {
    boost::weak_ptr<ICIMNamespace> ns;
    const std::string* className;
    std::string path;
    bool keyless = true;
    unsigned long long ordinal = 0;  // 0: none
};

namespace {

// Room for a number or a boolean in a path.
constexpr std::size_t kNumberLength = 24;

// Where the next `c` is in [at, end), or `end`.
const char* Next(const char* at, const char* end, char c) {
    const void* found = std::memchr(at, c, static_cast<std::size_t>(end - at));
    return found ? static_cast<const char*>(found) : end;
}

// Writes `text` at `to` in double quotes, with a backslash before each
// quote and backslash, and returns the end. The runs between them go over
// whole: most values hold neither.
char* PutQuoted(char* to, const std::string& text) {
    *to++ = '"';
    const char* at = text.data();
    const char* const end = at + text.size();
    const char* quote = Next(at, end, '"');
    const char* backslash = Next(at, end, '\\');
    for (;;) {
        const char* special = std::min(quote, backslash);
        std::memcpy(to, at, static_cast<std::size_t>(special - at));
        to += special - at;
        if (special == end) break;
        *to++ = '\\';
        *to++ = *special;
        at = special + 1;
        if (special == quote) quote = Next(at, end, '"');
        if (special == backslash) backslash = Next(at, end, '\\');
    }
    *to++ = '"';
    return to;
}

// The most a key's value can take in a path.
std::size_t MostValueLength(const TCIMValue& value) {
    switch (value.GetType()) {
        case kCIMTypeUInt16:
        case kCIMTypeUInt32:
        case kCIMTypeUInt64:
        case kCIMTypeBoolean:
            return kNumberLength;
        case kCIMTypeString:
            return 2 * value.AsString().size() + 2;
        case kCIMTypeReference:
            return 2 * value.AsReference().ToString().size() + 2;
        default:
            return 2 * value.ToString(10).size() + 2;  // rare: an empty or array key
    }
}

// Numbers stand bare in a path; texts, references and arrays are quoted.
char* PutKeyValue(char* to, const TCIMValue& value) {
    switch (value.GetType()) {
        case kCIMTypeUInt16:
        case kCIMTypeUInt32:
        case kCIMTypeUInt64:
            return std::to_chars(to, to + kNumberLength, value.AsUInt64()).ptr;
        case kCIMTypeBoolean:
            return value.AsBool() ? std::copy_n("TRUE", 4, to) : std::copy_n("FALSE", 5, to);
        case kCIMTypeString:
            return PutQuoted(to, value.AsString());
        case kCIMTypeReference:
            return PutQuoted(to, value.AsReference().ToString());
        default:
            return PutQuoted(to, value.ToString(10));
    }
}

std::string KeyedPath(const std::string& className, const TCIMPropertyMap& keys) {
    std::vector<TPathKey> pairs;
    pairs.reserve(keys.size());
    for (const auto& key : keys) pairs.emplace_back(&key.first, &key.second);
    std::string path;
    AppendObjectPath(path, className, pairs.data(), pairs.size(), 0);
    path.shrink_to_fit();
    return path;
}

}  // namespace

namespace {

// The one copy of each class name references were made with; never
// shrinks, so the pointers stay valid for the life of the process.
const std::string* InternedClassName(const std::string& name) {
    static std::mutex guard;
    static std::unordered_set<std::string> names;
    const std::lock_guard<std::mutex> lock(guard);
    return &*names.insert(name).first;
}

}  // namespace

// Every default-made or moved-from reference shares one empty state:
// nothing writes to shared Data.
TCIMReference::TCIMReference()
    : data_([] {
          static const std::shared_ptr<Data> empty =
              std::make_shared<Data>(Data{{}, InternedClassName(std::string()), {}, true, 0});
          return empty;
      }()) {}

TCIMReference::TCIMReference(std::shared_ptr<Data> data) : data_(std::move(data)) {}

TCIMReference::TCIMReference(boost::shared_ptr<ICIMNamespace> ns, const TCIMPropertyMap& keys)
    : TCIMReference(ns, std::string(), keys) {}

TCIMReference::TCIMReference(boost::shared_ptr<ICIMNamespace> ns, const std::string& className,
                             const TCIMPropertyMap& keys)
    : data_(std::make_shared<Data>(
          Data{ns, InternedClassName(className), KeyedPath(className, keys), keys.empty(), 0})) {}

TCIMReference TCIMReference::FromPath(boost::shared_ptr<ICIMNamespace> ns, const std::string& className,
                                      std::string path, bool keyless, unsigned long long ordinal) {
    path.shrink_to_fit();
    return TCIMReference(
        std::make_shared<Data>(Data{ns, InternedClassName(className), std::move(path), keyless, ordinal}));
}

TCIMReference::TCIMReference(const TCIMReference& other) = default;

// The moved-from reference takes over the shared empty state, since every
// operation expects one to be there.
TCIMReference::TCIMReference(TCIMReference&& other) noexcept : data_(std::move(other.data_)) {
    other.data_ = TCIMReference().data_;
}

TCIMReference& TCIMReference::operator=(TCIMReference&& other) noexcept {
    data_.swap(other.data_);
    return *this;
}

TCIMReference& TCIMReference::operator=(const TCIMReference& other) = default;

TCIMReference::~TCIMReference() = default;

bool TCIMReference::operator==(const TCIMReference& other) const {
    const Data& a = *data_;
    const Data& b = *other.data_;
    const bool sameNamespace = !a.ns.owner_before(b.ns) && !b.ns.owner_before(a.ns);
    return sameNamespace && *a.className == *b.className && a.ordinal == b.ordinal && a.path == b.path;
}

const std::string& TCIMReference::ClassName() const { return *data_->className; }

void TCIMReference::SetOrdinal(unsigned long long ordinal) {
    if (data_.use_count() > 1) data_ = std::make_shared<Data>(*data_);
    data_->ordinal = ordinal;
    if (data_->keyless) {
        data_->path.clear();
        AppendObjectPath(data_->path, *data_->className, nullptr, 0, ordinal);
        data_->path.shrink_to_fit();
    }
}

const std::string& TCIMReference::ToString() const { return data_->path; }

void AppendObjectPath(std::string& out, const std::string& className, const TPathKey* keys, std::size_t count,
                      unsigned long long ordinal) {
    std::size_t most = className.size() + 2 + kNumberLength;
    for (std::size_t i = 0; i < count; ++i) most += keys[i].first->size() + 2 + MostValueLength(*keys[i].second);
    const std::size_t start = out.size();
    out.resize(start + most);
    char* const begin = &out[0];
    char* to = std::copy_n(className.data(), className.size(), begin + start);
    if (count == 0 && ordinal != 0) {
        to = std::copy_n("=@", 2, to);
        to = std::to_chars(to, to + kNumberLength, ordinal).ptr;
    }
    for (std::size_t i = 0; i < count; ++i) {
        *to++ = i == 0 ? '.' : ',';
        to = std::copy_n(keys[i].first->data(), keys[i].first->size(), to);
        *to++ = '=';
        to = PutKeyValue(to, *keys[i].second);
    }
    out.resize(static_cast<std::size_t>(to - begin));
}

}  // namespace NQRXKVL20
