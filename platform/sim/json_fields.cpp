#include "platform/sim/json_fields.h"

#include <algorithm>
#include <limits>

#include "platform/sim/machine_file.h"

namespace linkscope::sim {
Field::Field(const Json& value, std::string place, const std::string& origin)
    : value_(&value), place_(std::move(place)), origin_(&origin) {}

void Field::Fail(const std::string& problem) const {
    throw MachineFileError(*origin_ + ": " + (place_.empty() ? "(top level)" : place_) + ": " + problem);
}

std::string Field::Text(std::size_t maxLength) const {
    if (!value_->is_string()) Fail("expected a string");
    const auto& text = value_->get_ref<const std::string&>();
    if (text.size() > maxLength) Fail("longer than " + std::to_string(maxLength) + " characters");
    return text;
}

std::uint32_t Field::Uint32() const {
    if (!value_->is_number_unsigned() ||
        value_->get<std::uint64_t>() > std::numeric_limits<std::uint32_t>::max()) {
        Fail("expected an integer from 0 to 4294967295");
    }
    return static_cast<std::uint32_t>(value_->get<std::uint64_t>());
}

bool Field::Bool() const {
    if (!value_->is_boolean()) Fail("expected true or false");
    return value_->get<bool>();
}

std::vector<Field> Field::Items() const {
    if (!value_->is_array()) Fail("expected an array");
    std::vector<Field> items;
    items.reserve(value_->size());
    for (std::size_t i = 0; i < value_->size(); ++i) {
        items.emplace_back((*value_)[i], place_ + "[" + std::to_string(i) + "]", *origin_);
    }
    return items;
}

std::vector<std::pair<std::string, Field>> Field::Entries() const {
    if (!value_->is_object()) Fail("expected an object");
    std::vector<std::pair<std::string, Field>> entries;
    entries.reserve(value_->size());
    for (const auto& [name, value] : value_->items()) {
        entries.emplace_back(name, Field(value, place_ + "[\"" + Printable(name) + "\"]", *origin_));
    }
    return entries;
}

Field Field::Member(const std::string& name) const { return Child(name, value_->at(name)); }

Field Field::Child(const std::string& name, const Json& value) const {
    return Field(value, place_.empty() ? name : place_ + "." + name, *origin_);
}

Record::Record(const Field& object, std::initializer_list<const char*> known) : object_(object) {
    if (!object.Value().is_object()) object.Fail("expected an object");
    for (const auto& member : object.Value().items()) {
        const bool isKnown = std::any_of(known.begin(), known.end(),
                                         [&](const char* name) { return member.key() == name; });
        if (isKnown) continue;
        std::string list;
        for (const char* name : known) list += (list.empty() ? "" : ", ") + std::string(name);
        object.Child(Printable(member.key()), member.value()).Fail("unknown field (known: " + list + ")");
    }
}

std::optional<Field> Record::Get(const char* name) const {
    if (!object_.Value().contains(name)) return std::nullopt;
    return object_.Member(name);
}

Field Record::Require(const char* name) const {
    auto field = Get(name);
    if (!field) object_.Fail(std::string("missing the required field \"") + name + "\"");
    return *field;
}

void Record::Read(const char* name, std::size_t maxLength, std::string* out) const {
    if (auto field = Get(name)) *out = field->Text(maxLength);
}

void Record::Read(const char* name, std::uint32_t* out) const {
    if (auto field = Get(name)) *out = field->Uint32();
}

void Record::Read(const char* name, bool* out) const {
    if (auto field = Get(name)) *out = field->Bool();
}

}  // namespace linkscope::sim
