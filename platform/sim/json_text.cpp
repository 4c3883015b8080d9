#include "platform/sim/json_text.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/sim/machine_file.h"

namespace linkscope::sim {
namespace {

// The parser quotes what it last read, which can be a whole long string.
constexpr std::size_t kMaxParserWords = 240;
// A machine description nests a few levels; far deeper text is refused
// before the places of its values grow without bound.
constexpr std::size_t kMaxDepth = 64;

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

bool IsPlainName(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

// Builds the document from the parser's events. The library's own ordered
// objects search their members on every insertion, which makes an object of
// n members cost n * n steps; here a set of names per open object does.
class DocumentBuilder {
public:
    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    DocumentBuilder(const std::string& text, const std::string& origin) : text_(text), origin_(origin) {}
    Json Take() { return std::move(root_); }

    bool null() { return Add(nullptr); }
    bool boolean(bool value) { return Add(value); }
    bool number_integer(number_integer_t value) { return Add(value); }
    bool number_unsigned(number_unsigned_t value) { return Add(value); }
    bool number_float(number_float_t value, const string_t& /*text*/) { return Add(value); }
    bool string(string_t& value) { return Add(std::move(value)); }
    bool binary(binary_t& value) { return Add(Json::binary(std::move(value))); }
    bool start_object(std::size_t /*size*/) { return Open(Json::object()); }
    bool start_array(std::size_t /*size*/) { return Open(Json::array()); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(string_t& name) {
        Frame& top = frames_.back();
        if (!top.names.insert(name).second) throw MachineFileError(origin_ + ": " + PlaceOf(name) + ": given twice");
        top.key = std::move(name);
        return true;
    }

    bool parse_error(std::size_t byte, const std::string& /*token*/, const nlohmann::detail::exception& e) {
        throw MachineFileError(origin_ + ": " + PositionText(text_, byte) + ": " +
                               Printable(ParserProblem(e.what()), kMaxParserWords));
    }

private:
    struct Frame {
        Json* container;
        std::string place;
        std::string key;  // of the member being read
        std::unordered_set<std::string> names;
    };

    // Where the next value goes, in the same notation as the checked fields.
    std::string PlaceOf(const std::string& name) const {
        const std::string& parent = frames_.back().place;
        if (!IsPlainName(name)) return parent + "[\"" + Printable(name) + "\"]";
        return parent.empty() ? Printable(name) : parent + "." + Printable(name);
    }
    std::string NextPlace() const {
        if (frames_.empty()) return "";
        const Frame& top = frames_.back();
        if (!top.container->is_array()) return PlaceOf(top.key);
        return top.place + "[" + std::to_string(top.container->size()) + "]";
    }

    // Only the innermost open container grows, so pointers to the open ones
    // stay valid.
    Json* Put(Json value) {
        if (frames_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        Frame& top = frames_.back();
        if (top.container->is_array()) {
            auto& items = top.container->get_ref<Json::array_t&>();
            items.push_back(std::move(value));
            return &items.back();
        }
        auto& members = top.container->get_ref<Json::object_t&>();
        members.emplace_back(std::move(top.key), std::move(value));  // the name is new: key() checked it
        return &members.back().second;
    }
    bool Add(Json value) {
        Put(std::move(value));
        return true;
    }
    bool Open(Json empty) {
        std::string place = NextPlace();
        if (frames_.size() == kMaxDepth) throw MachineFileError(origin_ + ": " + place + ": nested deeper than 64 levels");
        frames_.push_back({Put(std::move(empty)), std::move(place), {}, {}});
        return true;
    }
    bool Close() {
        frames_.pop_back();
        return true;
    }

    const std::string& text_;
    const std::string& origin_;
    Json root_;
    std::vector<Frame> frames_;
};

}  // namespace

Json ParseJsonText(const std::string& text, const std::string& origin) {
    DocumentBuilder builder(text, origin);
    Json::sax_parse(text, &builder);
    return builder.Take();
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

}  // namespace linkscope::sim
