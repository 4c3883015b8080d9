// Building instances from declarative property tables: one row per
// property with its name, how its value is made from the record, and the
// condition under which it is set at all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kvl/core.h"
#include "kvl/values.h"
#include "provider/query_context.h"

namespace linkscope::provider {

using NQRXKVL20::TCIMValue;

template <class Record>
struct PropertyRow {
    const char* name;
    TCIMValue (*value)(const Record&);
    bool (*condition)(const Record&) = nullptr;  // null: always set
};

// Value kinds of the host's schema. 32-bit fields given as unsigned 16-bit
// keep their low 16 bits.
inline TCIMValue Text(const std::string& value) { return TCIMValue(value); }
inline TCIMValue Flag(bool value) { return TCIMValue(value); }
inline TCIMValue UInt16(std::int64_t value) { return TCIMValue(static_cast<unsigned short>(value)); }
inline TCIMValue UInt32(std::int64_t value) { return TCIMValue(static_cast<unsigned int>(value)); }
inline TCIMValue UInt64(std::uint64_t value) { return TCIMValue(static_cast<unsigned long long>(value)); }
TCIMValue StringArray(const std::vector<TCIMValue>& elements);
TCIMValue StringArray(const std::vector<std::string>& elements);

inline constexpr char kComputerSystemClass[] = "QRXSG_ComputerSystem";

// The machine name, fetched anew for each instance.
inline std::string MachineName() { return NQRXKVL20::TOSSpecific::GetMachineName(); }

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
