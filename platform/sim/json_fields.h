// Checked reading of a machine description: every value knows its place in
// the file ("adapters[2].mac"), and every problem becomes a one-line
// MachineFileError "ORIGIN: PLACE: problem".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/json_text.h"

namespace linkscope::sim {

class Field {
public:
    Field(const Json& value, std::string place, const std::string& origin);

    const Json& Value() const { return *value_; }
    const std::string& Place() const { return place_; }
    [[noreturn]] void Fail(const std::string& problem) const;

    std::string Text(std::size_t maxLength) const;
    std::uint32_t Uint32() const;
    bool Bool() const;
    // Elements of an array, placed "place[i]".
    std::vector<Field> Items() const;
    // Members of an object used as a table of names, placed `place["name"]`.
    std::vector<std::pair<std::string, Field>> Entries() const;
    // A member of this object, placed "place.name"; the caller knows it exists.
    Field Member(const std::string& name) const;
    // `value` placed as the member `name` of this object.
    Field Child(const std::string& name, const Json& value) const;

private:
    const Json* value_;
    std::string place_;
    const std::string* origin_;
};

// An object with a fixed set of fields: a member outside `known` is refused
// as soon as the record is opened; absent fields keep the caller's default.
class Record {
public:
    Record(const Field& object, std::initializer_list<const char*> known);

    std::optional<Field> Get(const char* name) const;
    Field Require(const char* name) const;
    void Read(const char* name, std::size_t maxLength, std::string* out) const;
    void Read(const char* name, std::uint32_t* out) const;
    void Read(const char* name, bool* out) const;

private:
    Field object_;
};

}  // namespace linkscope::sim
