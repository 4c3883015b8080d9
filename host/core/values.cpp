// TCIMValue: one tagged value of the kinds the host stores.
#include <limits>
#include <string>
#include <variant>
#include <vector>

#include "kvl/values.h"

namespace NQRXKVL20 {

namespace {

const ECIMType kTypeOfIndex[] = {kCIMTypeNull,   kCIMTypeBoolean, kCIMTypeUInt16,
                                 kCIMTypeUInt32, kCIMTypeUInt64,  kCIMTypeString,
                                 kCIMTypeReference, kCIMTypeStringArray};

[[noreturn]] void ThrowMismatch(const char* wanted, ECIMType actual) {
    throw TKVLException(kKVLStatusTypeMismatch,
                        std::string("value is not ") + wanted + " (type " +
                            std::to_string(static_cast<int>(actual)) + ")");
}

std::string UnsignedToString(unsigned long long n, int radix) {
    if (radix < 2 || radix > 36) {
        throw TKVLException(kKVLStatusInvalidParameter,
                            "radix " + std::to_string(radix) + " is outside 2..36");
    }
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string reversed;
    do {
        reversed += kDigits[n % static_cast<unsigned>(radix)];
        n /= static_cast<unsigned>(radix);
    } while (n != 0);
    return std::string(reversed.rbegin(), reversed.rend());
}

// Whole-text decimal; anything else (sign, blanks, overflow) is refused.
unsigned long long ParseDecimal(const std::string& text) {
    if (text.empty()) ThrowMismatch("a number", kCIMTypeString);
    unsigned long long n = 0;
    const unsigned long long limit = std::numeric_limits<unsigned long long>::max();
    for (char c : text) {
        if (c < '0' || c > '9') ThrowMismatch("a number", kCIMTypeString);
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (n > (limit - digit) / 10) ThrowMismatch("a number in range", kCIMTypeString);
        n = n * 10 + digit;
    }
    return n;
}

}  // namespace

TCIMValue::TCIMValue() = default;
TCIMValue::TCIMValue(bool value) : value_(std::in_place_type<bool>, value) {}
TCIMValue::TCIMValue(unsigned short value) : value_(std::in_place_type<unsigned short>, value) {}
TCIMValue::TCIMValue(unsigned int value) : value_(std::in_place_type<unsigned int>, value) {}
TCIMValue::TCIMValue(unsigned long long value) : value_(std::in_place_type<unsigned long long>, value) {}
TCIMValue::TCIMValue(const char* value) : value_(std::in_place_type<std::string>, value ? value : "") {}
TCIMValue::TCIMValue(const std::string& value) : value_(std::in_place_type<std::string>, value) {}
TCIMValue::TCIMValue(std::string&& value) : value_(std::in_place_type<std::string>, std::move(value)) {}
TCIMValue::TCIMValue(TCIMReference& value) : value_(std::in_place_type<TCIMReference>, value) {}
TCIMValue::TCIMValue(const TCIMReference& value) : value_(std::in_place_type<TCIMReference>, value) {}
TCIMValue::TCIMValue(TCIMReference&& value) : value_(std::in_place_type<TCIMReference>, std::move(value)) {}

TCIMValue::TCIMValue(const TCIMType& type, unsigned int count,
                     const std::vector<TCIMValue>& elements) {
    if (type.Code() != kCIMTypeStringArray) {
        throw TKVLException(kKVLStatusNotSupported,
                            "array of type " + std::to_string(static_cast<int>(type.Code())));
    }
    for (const TCIMValue& element : elements) {
        if (element.GetType() != kCIMTypeString) ThrowMismatch("a string", element.GetType());
    }
    std::vector<TCIMValue> copy;
    copy.reserve(count > elements.size() ? count : elements.size());
    copy.insert(copy.end(), elements.begin(), elements.end());
    value_ = std::move(copy);
}

TCIMValue::TCIMValue(const TCIMValue& other) = default;

TCIMValue& TCIMValue::operator=(const TCIMValue& other) {
    if (this != &other) value_ = other.value_;
    return *this;
}

// A moved-from value is left empty, and a move assignment hands the former
// value to the source, as the documented move semantics say.
TCIMValue::TCIMValue(TCIMValue&& other) noexcept : value_(std::move(other.value_)) {
    other.value_.emplace<std::monostate>();
}

TCIMValue& TCIMValue::operator=(TCIMValue&& other) noexcept {
    value_.swap(other.value_);
    return *this;
}

TCIMValue::~TCIMValue() = default;

ECIMType TCIMValue::GetType() const { return kTypeOfIndex[value_.index()]; }
bool TCIMValue::IsNull() const { return GetType() == kCIMTypeNull; }
bool TCIMValue::IsArray() const { return GetType() == kCIMTypeStringArray; }

std::string TCIMValue::ToString(int radix) const {
    switch (GetType()) {
        case kCIMTypeNull:
            return std::string();
        case kCIMTypeBoolean:
            return AsBool() ? "true" : "false";
        case kCIMTypeUInt16:
        case kCIMTypeUInt32:
        case kCIMTypeUInt64:
            return UnsignedToString(AsUInt64(), radix);
        case kCIMTypeString:
            return AsString();
        case kCIMTypeReference:
            return AsReference().ToString();
        case kCIMTypeStringArray:
            break;
    }
    std::string text = "{";
    for (const TCIMValue& element : Elements()) {
        if (text.size() > 1) text += ',';
        text += element.ToString(radix);
    }
    return text + "}";
}

TCIMValue::operator std::string() const { return ToString(10); }

TCIMValue::operator unsigned int() const {
    unsigned long long n = 0;
    switch (GetType()) {
        case kCIMTypeBoolean:
            return AsBool() ? 1u : 0u;
        case kCIMTypeUInt16:
        case kCIMTypeUInt32:
        case kCIMTypeUInt64:
            n = AsUInt64();
            break;
        case kCIMTypeString:
            n = ParseDecimal(std::get<std::string>(value_));
            break;
        default:
            ThrowMismatch("a number", GetType());
    }
    if (n > std::numeric_limits<unsigned int>::max()) ThrowMismatch("a 32-bit number", GetType());
    return static_cast<unsigned int>(n);
}

bool TCIMValue::AsBool() const {
    if (const bool* b = std::get_if<bool>(&value_)) return *b;
    ThrowMismatch("a boolean", GetType());
}

unsigned long long TCIMValue::AsUInt64() const {
    switch (GetType()) {
        case kCIMTypeUInt16:
            return std::get<unsigned short>(value_);
        case kCIMTypeUInt32:
            return std::get<unsigned int>(value_);
        case kCIMTypeUInt64:
            return std::get<unsigned long long>(value_);
        default:
            ThrowMismatch("an unsigned number", GetType());
    }
}

const std::string& TCIMValue::AsString() const {
    if (const std::string* text = std::get_if<std::string>(&value_)) return *text;
    ThrowMismatch("a string", GetType());
}

const TCIMReference& TCIMValue::AsReference() const {
    if (const TCIMReference* r = std::get_if<TCIMReference>(&value_)) return *r;
    ThrowMismatch("a reference", GetType());
}

const std::vector<TCIMValue>& TCIMValue::Elements() const {
    if (const auto* v = std::get_if<std::vector<TCIMValue> >(&value_)) return *v;
    ThrowMismatch("an array", GetType());
}

bool TCIMValue::operator==(const TCIMValue& other) const {
    return value_ == other.value_;
}

}  // namespace NQRXKVL20
