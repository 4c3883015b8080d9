#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include <boost/make_shared.hpp>
#include <boost/pointer_cast.hpp>
#include <nlohmann/json.hpp>

#include "format.h"
#include "fuzz_input.h"
#include "kvl/hub.h"
#include "targets.h"

namespace linkscope::fuzz {
namespace {

using namespace NQRXKVL20;
using nlohmann::json;
using Instance = boost::shared_ptr<THubInstance>;

// Classes with keys, without keys and associations.
const char* const kClasses[] = {"QRXSG_IPService", "QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkingGroup",
                                "QRXSG_PortImplementsEndpoint", "QRXSG_SpareGroup"};
const char* const kProperties[] = {"Name",       "DeviceID",  "SystemName", "CreationClassname", "HostName",
                                   "Antecedent", "Dependent", "TeamName",   "Speed",             "DNS"};

// The JSON library refuses to write a text that is not well-formed UTF-8.
bool IsUtf8(const std::string& text) {
    try {
        json(text).dump();
        return true;
    } catch (const json::type_error&) {
        return false;
    }
}

// A text as written must read back the same where it is UTF-8, else with
// replacement characters for the bytes that are not.
bool TextMatches(const json& written, const std::string& text) {
    if (!written.is_string()) return false;
    const std::string& read = written.get_ref<const std::string&>();
    return IsUtf8(text) ? read == text : IsUtf8(read) && read.find("\xEF\xBF\xBD") != std::string::npos;
}

bool ValueMatches(const json& written, const TCIMValue& value) {
    switch (value.GetType()) {
        case kCIMTypeNull: return written.is_null();
        case kCIMTypeBoolean: return written == value.AsBool();
        case kCIMTypeUInt16:
        case kCIMTypeUInt32:
        case kCIMTypeUInt64: return written == value.AsUInt64();
        case kCIMTypeString: return TextMatches(written, value.AsString());
        case kCIMTypeReference:
            // MOF names an instance written before by its alias.
            if (written.is_object()) {
                return written.at("alias").get<std::string>().rfind(value.AsReference().ClassName() + "_", 0) == 0;
            }
            return TextMatches(written, value.AsReference().ToString());
        case kCIMTypeStringArray: {
            const std::vector<TCIMValue>& elements = value.Elements();
            return written.is_array() && written.size() == elements.size() &&
                   std::equal(elements.begin(), elements.end(), written.begin(),
                              [](const TCIMValue& element, const json& w) { return TextMatches(w, element.ToString()); });
        }
    }
    return true;
}

// Each instance as written: its class, path and every property.
void CheckWritten(const json& written, const kvlhost::InstanceList& instances) {
    FUZZ_CHECK(written.size() == instances.size());
    std::string path;
    for (std::size_t i = 0; i < instances.size(); ++i) {
        FUZZ_CHECK(written[i].at("class") == instances[i]->ClassName());
        instances[i]->WritePath(path);
        FUZZ_CHECK(TextMatches(written[i].at("path"), path));
        FUZZ_CHECK(written[i].at("properties").size() == instances[i]->Properties().size());
        for (const THubProperty& property : instances[i]->Properties()) {
            FUZZ_CHECK(ValueMatches(written[i].at("properties").at(*property.name), property.value));
        }
    }
}

// The character of the escape after the backslash before `at`; a \x escape
// takes up to four hexadecimal digits, as MOF readers do.
char Escaped(const std::string& line, std::size_t& at) {
    FUZZ_CHECK(at < line.size());
    const char escaped = line[at++];
    const std::size_t simple = std::string("\"\\nrtbf").find(escaped);
    if (escaped != 'x') {
        FUZZ_CHECK(simple != std::string::npos);
        return "\"\\\n\r\t\b\f"[simple];
    }
    std::size_t digits = 0;  // the string's closing NUL ends the digits at its end
    while (digits < 4 && std::isxdigit(static_cast<unsigned char>(line[at + digits]))) ++digits;
    const unsigned code = digits ? std::stoul(line.substr(at, digits), nullptr, 16) : 0;
    at += digits;
    FUZZ_CHECK(digits > 0 && code < 0x80);
    return static_cast<char>(code);
}

// The path of a comment line: as it is, except that control characters are
// escaped as in a string; a quote or backslash escaped inside a key's value
// stays as written.
std::string PathOf(const std::string& line) {
    std::string path;
    for (std::size_t at = 0; at < line.size();) {
        const char c = line[at++];
        FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
        if (c == '\\' && at < line.size() && line[at] != '\\' && line[at] != '"') {
            path.push_back(Escaped(line, at));
            FUZZ_CHECK(static_cast<unsigned char>(path.back()) < 0x20);
            continue;
        }
        path.push_back(c);
        if (c == '\\' && at < line.size()) path.push_back(line[at++]);
    }
    return path;
}

// The quoted strings of `text`, ", " between them, with their escapes undone.
json QuotedList(const std::string& text) {
    json strings = json::array();
    for (std::size_t at = 0; at < text.size();) {
        FUZZ_CHECK(strings.empty() || text.compare(at, 2, ", ") == 0);
        at += strings.empty() ? 0 : 2;
        FUZZ_CHECK(text.compare(at, 1, "\"") == 0);
        std::string unquoted;
        for (++at; at < text.size() && text[at] != '"';) {
            const char c = text[at++];
            unquoted.push_back(c == '\\' ? Escaped(text, at) : c);
        }
        FUZZ_CHECK(at++ < text.size());
        strings.push_back(unquoted);
    }
    return strings;
}

// A value as written after "NAME = " and before the line's ";".
json ValueOf(const std::string& text) {
    if (text.compare(0, 1, "\"") == 0) {
        const json strings = QuotedList(text);
        FUZZ_CHECK(strings.size() == 1);
        return strings[0];
    }
    if (text.compare(0, 1, "{") == 0 && text.back() == '}') return QuotedList(text.substr(1, text.size() - 2));
    if (text.compare(0, 1, "$") == 0) return json{{"alias", text.substr(1)}};
    if (text == "NULL") return nullptr;
    if (text == "TRUE" || text == "FALSE") return text == "TRUE";
    const json number = json::parse(text, nullptr, false);
    FUZZ_CHECK(number.is_number_unsigned());
    return number;
}

// Reads MOF text back line by line, as the writer's grammar has it (no
// value holds a line break unescaped), into the shape of the JSON output.
json ReadMof(const std::string& text) {
    FUZZ_CHECK(text.empty() || text.back() == '\n');
    std::istringstream lines(text);
    std::string line;
    const auto next = [&](const char* start) {
        FUZZ_CHECK(std::getline(lines, line) && line.rfind(start, 0) == 0);
        return line.substr(std::strlen(start));
    };
    json instances = json::array();
    while (lines.peek() != EOF) {
        if (!instances.empty()) FUZZ_CHECK(next("").empty());
        json instance{{"path", PathOf(next("// "))}, {"properties", json::object()}};
        const std::string heading = next("instance of ");
        const std::string className = heading.substr(0, heading.find(" as $"));
        FUZZ_CHECK(className == heading || heading.rfind(className + " as $" + className + "_", 0) == 0);
        instance["class"] = className;
        FUZZ_CHECK(next("{").empty());
        while (next("").rfind("    ", 0) == 0) {
            const std::size_t equals = line.find(" = ");
            FUZZ_CHECK(equals != std::string::npos && line.back() == ';');
            instance["properties"][line.substr(4, equals - 4)] =
                ValueOf(line.substr(equals + 3, line.size() - equals - 4));
        }
        FUZZ_CHECK(line == "};");
        instances.push_back(std::move(instance));
    }
    return instances;
}

TCIMValue Value(FuzzInput& in, const std::vector<Instance>& made) {
    const auto text = [&] { return in.Text(40); };
    switch (in.Below(8)) {
        case 0: return TCIMValue();
        case 1: return TCIMValue(in.Flag());
        case 2: return TCIMValue(in.Number<unsigned short>());
        case 3: return TCIMValue(in.Number<unsigned int>());
        case 4: return TCIMValue(in.Number<unsigned long long>());
        case 5: {
            std::vector<TCIMValue> elements(in.Below(4));
            for (TCIMValue& element : elements) element = TCIMValue(text());
            return TCIMValue(TCIMType(kCIMTypeStringArray), static_cast<unsigned>(elements.size()), elements);
        }
        case 6:
            if (!made.empty()) return TCIMValue(made[in.Below(made.size())]->GetReference({}));
            [[fallthrough]];
        default: return TCIMValue(text());
    }
}

}  // namespace

// The input is a list of instances, each a class and properties of any
// kind; references point at instances made before. Both formats must
// read back as what was written.
void OutputFormatsTarget(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const auto ns = boost::make_shared<TPluginManagerNamespace>();
    std::vector<Instance> made;
    while (!in.Empty() && made.size() < 16) {
        const Instance instance = boost::dynamic_pointer_cast<THubInstance>(
            ns->GetClass(kClasses[in.Below(std::size(kClasses))], {})->CreateInstance({}));
        for (std::uint32_t n = in.Below(6); n > 0; --n) {
            // The name first: the order of a call's arguments is the compiler's.
            const char* name = kProperties[in.Below(std::size(kProperties))];
            instance->SetProperty(name, Value(in, made), {});
        }
        made.push_back(instance);
    }
    const kvlhost::InstanceList instances(made.begin(), made.end());
    CheckWritten(json::parse(kvlhost::FormatJson(instances)).at("instances"), instances);
    CheckWritten(ReadMof(kvlhost::FormatMof(instances)), instances);
}

}  // namespace linkscope::fuzz
