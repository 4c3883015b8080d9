// Building instances from declarative property tables: one row per
// property with its name, how its value is made from the record (the maker
// names the CIM kind), and the condition under which it is set at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "kvl/core.h"
#include "kvl/values.h"
#include "provider/query_context.h"

namespace linkscope::provider {

using NQRXKVL20::TCIMValue;

template <class Record>
struct PropertyRow {
    std::string name;  // a string already: no temporary per SetProperty
    TCIMValue (*value)(const Record&);
    bool (*condition)(const Record&) = nullptr;  // null: always set
};

// Value kinds of the host's schema. 32-bit fields given as unsigned 16-bit
// keep their low 16 bits.
inline TCIMValue Text(std::string value) { return TCIMValue(std::move(value)); }
inline TCIMValue Flag(bool value) { return TCIMValue(value); }
inline TCIMValue UInt16(std::int64_t value) { return TCIMValue(static_cast<unsigned short>(value)); }
inline TCIMValue UInt32(std::int64_t value) { return TCIMValue(static_cast<unsigned int>(value)); }
inline TCIMValue UInt64(std::uint64_t value) { return TCIMValue(static_cast<unsigned long long>(value)); }
// Arrays are built afresh from the elements for every instance.
TCIMValue StringArray(const std::vector<TCIMValue>& elements);
TCIMValue StringArray(const std::vector<std::string>& elements);

inline constexpr char kComputerSystemClass[] = "QRXSG_ComputerSystem";

// The machine name, fetched anew for each instance.
inline std::string MachineName() { return NQRXKVL20::TOSSpecific::GetMachineName(); }

// Row makers that read one field of a Record, named after the CIM kind they
// produce. `Get` is a getter (member function) or a data member of Record;
// both give a plain function pointer that fits a PropertyRow<Record>:
//   using F = Field<Port>;
//   {"PortNumber", F::UInt16<&Port::GetPortNumber>},
//   {"DhcpServer", F::Text<&Port::GetDhcpServer>, F::IsSet<&Port::GetDhcpEnabled>},
template <class Record>
struct Field {
    template <auto Get>
    static TCIMValue Text(const Record& r) { return provider::Text(std::invoke(Get, r)); }
    template <auto Get>
    static TCIMValue Flag(const Record& r) { return provider::Flag(std::invoke(Get, r)); }
    template <auto Get>
    static TCIMValue UInt16(const Record& r) { return provider::UInt16(std::invoke(Get, r)); }
    template <auto Get>
    static TCIMValue UInt32(const Record& r) { return provider::UInt32(std::invoke(Get, r)); }
    template <auto Get>
    static TCIMValue UInt64(const Record& r) { return provider::UInt64(std::invoke(Get, r)); }
    // A list field as a string array.
    template <auto Get>
    static TCIMValue StringArray(const Record& r) { return provider::StringArray(std::invoke(Get, r)); }
    // A text field as a string array of that one element, empty or not.
    template <auto Get>
    static TCIMValue ArrayOfOne(const Record& r) {
        return provider::StringArray(std::vector<TCIMValue>{provider::Text(std::invoke(Get, r))});
    }
    // A text field, or `kDefault` when it is empty.
    template <auto Get, const char* kDefault>
    static TCIMValue TextOr(const Record& r) {
        std::string value = std::invoke(Get, r);
        return provider::Text(value.empty() ? std::string(kDefault) : std::move(value));
    }
    template <const char* kValue>
    static TCIMValue Constant(const Record&) { return provider::Text(kValue); }
    static TCIMValue MachineName(const Record&) { return provider::Text(provider::MachineName()); }

    // Condition: a flag that holds, a number other than 0, a text or list
    // that is not empty.
    template <auto Get>
    static bool IsSet(const Record& r) {
        const auto& value = std::invoke(Get, r);
        if constexpr (std::is_arithmetic_v<std::decay_t<decltype(value)>>) {
            return value != 0;
        } else {
            return !value.empty();
        }
    }
};

// CreateInstance on the requested class, one SetProperty per row whose
// condition holds, in table order, then Commit; every call with an empty
// context.
template <class Record, size_t N>
void BuildInstance(QueryContext& query, const Record& record, const PropertyRow<Record> (&rows)[N]) {
    query.current = query.requestedClass->CreateInstance(NQRXKVL20::TCIMPropertyMap());
    for (const PropertyRow<Record>& row : rows) {
        if (row.condition && !row.condition(record)) continue;
        query.current->SetProperty(row.name, row.value(record), NQRXKVL20::TCIMPropertyMap());
    }
    query.current->Commit(NQRXKVL20::TCIMPropertyMap());
}

}  // namespace linkscope::provider
