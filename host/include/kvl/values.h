// CIM values, references and status codes of the host framework.
#pragma once

#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "kvl/export.h"

namespace NQRXKVL20 {

class ICIMNamespace;
class TCIMValue;

// Type codes of CIM values. Only the kinds the host stores are listed; code
// 13 is the string array the plug-in builds for list properties.
enum ECIMType {
    kCIMTypeNull = 0,
    kCIMTypeBoolean = 1,
    kCIMTypeUInt16 = 4,
    kCIMTypeUInt32 = 6,
    kCIMTypeUInt64 = 8,
    kCIMTypeString = 10,
    kCIMTypeReference = 12,
    kCIMTypeStringArray = 13,
};

class KVLCORE_API TCIMType {
public:
    TCIMType(ECIMType code = kCIMTypeNull) : code_(code) {}
    ECIMType Code() const { return code_; }
    bool operator==(const TCIMType& other) const { return code_ == other.code_; }

private:
    ECIMType code_;
};

typedef std::map<std::string, TCIMValue> TCIMPropertyMap;

// Object path of an instance: the namespace it lives in, its class and its
// key properties. The plug-in only builds empty references, assigns and
// compares them; the host fills them through ICIMInstance::GetReference.
// A reference holds its path as text, worked out once when it is made:
// associations hold many, and a text is far smaller than a map of keys.
class KVLCORE_API TCIMReference {
public:
    TCIMReference();
    TCIMReference(boost::shared_ptr<ICIMNamespace> ns, const TCIMPropertyMap& keys);
    TCIMReference(boost::shared_ptr<ICIMNamespace> ns, const std::string& className,
                  const TCIMPropertyMap& keys);
    // A reference whose path text its maker has already worked out, as
    // ObjectPathText gives it for these keys or this ordinal.
    static TCIMReference FromPath(boost::shared_ptr<ICIMNamespace> ns, const std::string& className,
                                  std::string path, bool keyless, unsigned long long ordinal);
    TCIMReference(const TCIMReference& other);
    // Moves leave `other` valid, as TCIMValue's do.
    TCIMReference(TCIMReference&& other) noexcept;
    TCIMReference& operator=(TCIMReference&& other) noexcept;
    TCIMReference& operator=(const TCIMReference& other);
    ~TCIMReference();

    // Same namespace, class, ordinal and key values (compared as their path
    // text, so a number equals the same number of another width).
    bool operator==(const TCIMReference& other) const;
    bool operator!=(const TCIMReference& other) const { return !(*this == other); }

    const std::string& ClassName() const;
    // WBEM URI form: CLASS.Key="value",Key2="value" with keys in name order;
    // a path without keys is CLASS=@ordinal when an ordinal was given.
    const std::string& ToString() const;
    void SetOrdinal(unsigned long long ordinal);

private:
    struct Data;
    explicit TCIMReference(std::shared_ptr<Data> data);
    std::shared_ptr<Data> data_;  // shared by copies; see reference.cpp
};

// A key property of an object path: its name and value.
typedef std::pair<const std::string*, const TCIMValue*> TPathKey;

// Appends to `out` the text TCIMReference::ToString gives for a reference
// to an instance of `className` with the `count` keys at `keys` (in name
// order), or, without keys, with this ordinal (0: none); worked out
// without building one.
KVLCORE_API void AppendObjectPath(std::string& out, const std::string& className, const TPathKey* keys,
                                  std::size_t count, unsigned long long ordinal);

// A copyable CIM value: empty, a scalar, a string, a reference or an array.
class KVLCORE_API TCIMValue {
public:
    TCIMValue();
    TCIMValue(bool value);
    TCIMValue(unsigned short value);
    TCIMValue(unsigned int value);
    TCIMValue(unsigned long long value);
    TCIMValue(const char* value);
    TCIMValue(const std::string& value);
    TCIMValue(std::string&& value);
    TCIMValue(TCIMReference& value);
    TCIMValue(const TCIMReference& value);
    TCIMValue(TCIMReference&& value);
    // An array whose element type follows from `type` (code 13: strings).
    // `count` is a capacity hint; the elements are taken from `elements`.
    TCIMValue(const TCIMType& type, unsigned int count, const std::vector<TCIMValue>& elements);
    TCIMValue(const TCIMValue& other);
    TCIMValue& operator=(const TCIMValue& other);
    // Moves leave `other` valid (empty after a move construction, holding
    // the former value after a move assignment); they let containers of
    // values grow without copying every value.
    TCIMValue(TCIMValue&& other) noexcept;
    TCIMValue& operator=(TCIMValue&& other) noexcept;
    ~TCIMValue();

    ECIMType GetType() const;
    bool IsNull() const;
    bool IsArray() const;

    // Text of the value; numbers in base `radix`, booleans as true/false,
    // references as object paths, arrays as {a,b}.
    std::string ToString(int radix = 10) const;
    operator std::string() const;
    // Numeric value; a boolean gives 0 or 1, text is read as decimal.
    operator unsigned int() const;

    bool AsBool() const;
    unsigned long long AsUInt64() const;
    const std::string& AsString() const;
    const TCIMReference& AsReference() const;
    const std::vector<TCIMValue>& Elements() const;

    bool operator==(const TCIMValue& other) const;
    bool operator!=(const TCIMValue& other) const { return !(*this == other); }

private:
    // Alternatives in the order of ECIMType; the index tells the kind. Held
    // in place, so that a scalar or short text costs no allocation.
    using Storage = std::variant<std::monostate, bool, unsigned short, unsigned int, unsigned long long,
                                 std::string, TCIMReference, std::vector<TCIMValue> >;
    Storage value_;
};

typedef std::uint32_t TKVLStatusCode;

// Status codes the stand-in host raises.
enum : TKVLStatusCode {
    kKVLStatusOk = 0,
    kKVLStatusFailed = 1,
    kKVLStatusInvalidParameter = 4,
    kKVLStatusNotFound = 6,
    kKVLStatusNotSupported = 7,
    kKVLStatusNoSuchProperty = 12,
    kKVLStatusTypeMismatch = 13,
    kKVLStatusInvalidClass = 15,
    kKVLStatusAssertionFailed = 30,
};

KVLCORE_API std::string TranslateStatusCode(TKVLStatusCode code);

class KVLCORE_API TKVLException : public std::exception {
public:
    explicit TKVLException(TKVLStatusCode code, const std::string& detail = std::string());
    TKVLStatusCode GetStatusCode() const { return code_; }
    const std::string& Detail() const { return detail_; }
    std::string TranslateStatusCode() const;
    const char* what() const noexcept override;

private:
    TKVLStatusCode code_;
    std::string detail_;
    std::string text_;
};

}  // namespace NQRXKVL20
