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
            if (!written.is_array() || written.size() != elements.size()) return false;
            for (std::size_t i = 0; i < elements.size(); ++i) {
                if (!TextMatches(written[i], elements[i].ToString())) return false;
            }
            return true;
        }
    }
    return true;
}

// Each instance as written: its class, path and every property.
void CheckWritten(const json& written, const kvlhost::InstanceList& instances) {
    FUZZ_CHECK(written.size() == instances.size());
    for (std::size_t i = 0; i < instances.size(); ++i) {
        FUZZ_CHECK(written[i].at("class") == instances[i]->ClassName());
        FUZZ_CHECK(TextMatches(written[i].at("path"), instances[i]->Path()));
        FUZZ_CHECK(written[i].at("properties").size() == instances[i]->Properties().size());
        for (const THubProperty& property : instances[i]->Properties()) {
            FUZZ_CHECK(ValueMatches(written[i].at("properties").at(*property.name), property.value));
        }
    }
}

// Reads MOF text back as the writer's grammar has it, into the shape of
// the JSON output.
class MofReader {
public:
    explicit MofReader(const std::string& text) : text_(text) {}

    json Instances() {
        json instances = json::array();
        while (at_ < text_.size()) {
            FUZZ_CHECK(instances.empty() || Take("\n"));
            json instance;
            FUZZ_CHECK(Take("// "));
            instance["path"] = PathLine();
            FUZZ_CHECK(Take("instance of "));
            const std::string line = Before("\n");
            const std::string className = line.substr(0, line.find(" as $"));
            FUZZ_CHECK(className == line || line.rfind(className + " as $" + className + "_", 0) == 0);
            instance["class"] = className;
            FUZZ_CHECK(Take("{\n"));
            instance["properties"] = json::object();
            while (!Take("};\n")) {
                FUZZ_CHECK(Take("    "));
                const std::string name = Before(" = ");
                instance["properties"][name] = Value();
                FUZZ_CHECK(Take(";\n"));
            }
            instances.push_back(std::move(instance));
        }
        return instances;
    }

private:
    bool Take(const std::string& expected) {
        if (text_.compare(at_, expected.size(), expected) != 0) return false;
        at_ += expected.size();
        return true;
    }
    // Up to the next `end`, which is taken too.
    std::string Before(const std::string& end) {
        const std::size_t found = text_.find(end, at_);
        FUZZ_CHECK(found != std::string::npos);
        const std::string before = text_.substr(at_, found - at_);
        at_ = found + end.size();
        return before;
    }
    json Value() {
        if (text_.compare(at_, 1, "\"") == 0) return String();
        if (Take("{")) {
            json elements = json::array();
            while (!Take("}")) {
                FUZZ_CHECK(elements.empty() || Take(", "));
                elements.push_back(String());
            }
            return elements;
        }
        if (Take("$")) return json{{"alias", Token()}};
        const std::string token = Token();
        if (token == "NULL") return nullptr;
        if (token == "TRUE" || token == "FALSE") return token == "TRUE";
        const json number = json::parse(token, nullptr, false);
        FUZZ_CHECK(number.is_number_unsigned());
        return number;
    }
    std::string Token() {
        const std::size_t end = text_.find_first_of(";,}", at_);
        FUZZ_CHECK(end != std::string::npos);
        const std::string token = text_.substr(at_, end - at_);
        at_ = end;
        return token;
    }
    // A quoted string with its escapes undone.
    std::string String() {
        FUZZ_CHECK(Take("\""));
        std::string text;
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\') c = Escaped();
            text.push_back(c);
        }
        FUZZ_CHECK(Take("\""));
        return text;
    }
    // The comment line that carries a path: the path as it is, except that
    // control characters are escaped as in a string.
    std::string PathLine() {
        std::string path;
        while (at_ < text_.size() && text_[at_] != '\n') {
            const char c = text_[at_++];
            FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
            if (c == '\\' && at_ < text_.size() && text_[at_] != '\\' && text_[at_] != '"') {
                path.push_back(Escaped());
                FUZZ_CHECK(static_cast<unsigned char>(path.back()) < 0x20);
                continue;
            }
            path.push_back(c);
            // A quote or backslash escaped inside a key's value stays as written.
            if (c == '\\' && at_ < text_.size()) path.push_back(text_[at_++]);
        }
        FUZZ_CHECK(Take("\n"));
        return path;
    }
    // The character of the escape after a backslash; a \x escape takes up to
    // four hexadecimal digits, as MOF readers do.
    char Escaped() {
        FUZZ_CHECK(at_ < text_.size());
        const char escaped = text_[at_++];
        const std::string simple = "\"\\nrtbf";
        const std::string meant = "\"\\\n\r\t\b\f";
        if (escaped != 'x') {
            FUZZ_CHECK(simple.find(escaped) != std::string::npos);
            return meant[simple.find(escaped)];
        }
        std::size_t digits = 0;
        unsigned code = 0;
        while (digits < 4 && at_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[at_]))) {
            code = code * 16 + std::stoul(std::string(1, text_[at_++]), nullptr, 16);
            ++digits;
        }
        FUZZ_CHECK(digits > 0 && code < 0x80);
        return static_cast<char>(code);
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

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
    CheckWritten(MofReader(kvlhost::FormatMof(instances)).Instances(), instances);
}

}  // namespace linkscope::fuzz
