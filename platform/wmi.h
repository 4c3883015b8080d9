// The parts of COM and WMI a team collector uses: a locator, a connection
// to one namespace, queries, and objects whose properties are read as
// values that keep their kind. Wide texts, BSTRs, VARIANTs, reference
// counts and the fixed class and interface ids stay in the backend.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace linkscope::platform {

// An HRESULT: negative is failure.
using WmiResult = std::int32_t;

inline constexpr WmiResult kWmiOk = 0;
inline constexpr WmiResult kWmiFailed = static_cast<WmiResult>(0x80041001);
inline constexpr WmiResult kWmiNotFound = static_cast<WmiResult>(0x80041002);
inline constexpr WmiResult kWmiInvalidNamespace = static_cast<WmiResult>(0x8004100E);
inline constexpr WmiResult kWmiInvalidQuery = static_cast<WmiResult>(0x80041017);

// The status text the system gives for an invalid namespace.
inline constexpr char kInvalidNamespaceText[] = "Invalid namespace ";

// Texts are single-byte, at most kWmiMaxText bytes (a longer one is cut
// there) and end at their first NUL.
inline constexpr std::size_t kWmiMaxText = 1023;

struct WmiValue {
    enum class Kind {
        kNull,          // null or empty: the property has no value
        kText,          // `text`
        kInt32,         // `integer`, a signed 32-bit value
        kOtherInteger,  // `integer`, of any other integer kind
        kOther,         // anything else: a boolean, a real number, an array...
    };
    Kind kind = Kind::kNull;
    std::string text;
    std::int64_t integer = 0;
};

class WmiObject {
public:
    virtual ~WmiObject() = default;
    // A property the object lacks reads as kNull.
    virtual WmiValue Get(const std::string& property) = 0;
};

class WmiEnumerator {
public:
    virtual ~WmiEnumerator() = default;
    // The next object, waiting as long as it takes; null after the last.
    virtual std::unique_ptr<WmiObject> Next() = 0;
};

struct WmiQueryAnswer {
    WmiResult result = kWmiOk;
    std::unique_ptr<WmiEnumerator> objects;  // set when result is not negative
};

class WmiConnection {
public:
    virtual ~WmiConnection() = default;
    // A WQL query, answered forward-only.
    virtual WmiQueryAnswer ExecQuery(const std::string& query) = 0;
};

struct WmiConnectAnswer {
    WmiResult result = kWmiOk;
    std::unique_ptr<WmiConnection> connection;  // set on success, its proxy security already set
    std::optional<std::string> statusText;      // on failure, when the system has a text for it
};

class WmiLocator {
public:
    virtual ~WmiLocator() = default;
    virtual WmiConnectAnswer ConnectServer(const std::string& wmiNamespace) = 0;
};

class WmiApi {
public:
    virtual ~WmiApi() = default;
    // Puts the calling thread into a COM apartment; every call is balanced
    // by one UninitializeCom.
    virtual void InitializeCom() = 0;
    virtual void UninitializeCom() = 0;
    // Null when the system has no WMI locator.
    virtual std::unique_ptr<WmiLocator> CreateLocator() = 0;
};

// The WMI of a host where the namespace asked for does not exist: every
// connection is refused as invalid namespace, with the system's text.
class NamespaceMissingLocator final : public WmiLocator {
public:
    WmiConnectAnswer ConnectServer(const std::string&) override {
        return {kWmiInvalidNamespace, nullptr, std::string(kInvalidNamespaceText)};
    }
};

}  // namespace linkscope::platform
