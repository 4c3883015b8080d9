#include "platform/sim/json_fields.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "platform/sim/machine_file.h"

namespace linkscope::sim {
namespace {

// The parser quotes what it last read, which can be a whole long string.
constexpr std::size_t kMaxParserWords = 240;

// "line L, column C" of the 1-based byte position the parser stopped at.
std::string PositionText(const std::string& text, std::size_t byte) {
    const std::size_t at = std::min(byte > 0 ? byte - 1 : 0, text.size());
    const auto line = 1 + std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n');
    std::size_t column = at + 1;
    if (at > 0) {
        const auto newline = text.rfind('\n', at - 1);
        if (newline != std::string::npos) column = at - newline;
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// The parser's own words, without its prefix and its (differently counted)
// position.
std::string ParserProblem(const std::string& what) {
    const auto column = what.find(", column ");
    const auto start = column == std::string::npos ? what.find("] ") : what.find(": ", column);
    return start == std::string::npos ? what : what.substr(start + 2);
}

}  // namespace

Json ParseJsonText(const std::string& text, const std::string& origin) {
    try {
        return Json::parse(text);
    } catch (const Json::parse_error& e) {
        throw MachineFileError(origin + ": " + PositionText(text, e.byte) + ": " +
                               Printable(ParserProblem(e.what()), kMaxParserWords));
    } catch (const Json::exception& e) {
        throw MachineFileError(origin + ": invalid JSON: " + Printable(ParserProblem(e.what()), kMaxParserWords));
    }
}

std::string Printable(const std::string& text, std::size_t maxShown) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == maxShown) return shown + "...";
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            shown += escaped;
        } else {
            shown += text[i];
        }
    }
    return shown;
}

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
