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
using Instance = boost::shared_ptr<THubInstance>;

// Classes with keys, without keys and associations.
const char* const kClasses[] = {"QRXSG_IPService", "QRXSG_PhysicalNetworkPort", "QRXSG_VirtualNetworkingGroup",
                                "QRXSG_PortImplementsEndpoint", "QRXSG_SpareGroup"};
const char* const kProperties[] = {"Name",       "DeviceID",  "SystemName", "CreationClassname", "HostName",
                                   "Antecedent", "Dependent", "TeamName",   "Speed",             "DNS"};

bool IsUtf8(const std::string& text) {
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char lead = text[at];
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                           : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length == 0 || at + length > text.size()) return false;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const unsigned char next = text[at + i];
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        at += length;
    }
    return true;
}

// A text as JSON must give it back: the same where it is UTF-8, else with
// replacement characters for the bytes that are not.
bool TextMatches(const std::string& read, const std::string& text) {
    return IsUtf8(text) ? read == text : IsUtf8(read) && read.find("\xEF\xBF\xBD") != std::string::npos;
}

bool JsonTextMatches(const nlohmann::json& written, const std::string& text) {
    return written.is_string() && TextMatches(written.get_ref<const std::string&>(), text);
}

bool JsonValueMatches(const nlohmann::json& written, const TCIMValue& value) {
    switch (value.GetType()) {
        case kCIMTypeNull: return written.is_null();
        case kCIMTypeBoolean: return written == value.AsBool();
        case kCIMTypeUInt16:
        case kCIMTypeUInt32:
        case kCIMTypeUInt64: return written == value.AsUInt64();
        case kCIMTypeString: return JsonTextMatches(written, value.AsString());
        case kCIMTypeReference: return JsonTextMatches(written, value.AsReference().ToString());
        case kCIMTypeStringArray: {
            const std::vector<TCIMValue>& elements = value.Elements();
            if (!written.is_array() || written.size() != elements.size()) return false;
            for (std::size_t i = 0; i < elements.size(); ++i) {
                if (!JsonTextMatches(written[i], elements[i].ToString())) return false;
            }
            return true;
        }
    }
    return true;
}

void CheckJson(const kvlhost::InstanceList& instances) {
    const nlohmann::json json = nlohmann::json::parse(kvlhost::FormatJson(instances));
    const nlohmann::json& written = json.at("instances");
    FUZZ_CHECK(written.size() == instances.size());
    for (std::size_t i = 0; i < instances.size(); ++i) {
        FUZZ_CHECK(written[i].at("class") == instances[i]->ClassName());
        FUZZ_CHECK(JsonTextMatches(written[i].at("path"), instances[i]->Path()));
        for (const THubProperty& property : instances[i]->Properties()) {
            FUZZ_CHECK(JsonValueMatches(written[i].at("properties").at(*property.name), property.value));
        }
    }
}

// Reads MOF text back as the writer's grammar has it.
class MofReader {
public:
    explicit MofReader(const std::string& text) : text_(text) {}

    bool AtEnd() const { return at_ == text_.size(); }
    bool Take(const std::string& expected) {
        if (text_.compare(at_, expected.size(), expected) != 0) return false;
        at_ += expected.size();
        return true;
    }
    // Up to the next line feed, which is taken too.
    std::string Line() {
        const std::size_t end = text_.find('\n', at_);
        FUZZ_CHECK(end != std::string::npos);
        const std::string line = text_.substr(at_, end - at_);
        at_ = end + 1;
        return line;
    }
    // A quoted string with its escapes undone.
    bool String(std::string* out) {
        if (!Take("\"")) return false;
        out->clear();
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\') c = Escaped();
            out->push_back(c);
        }
        return Take("\"");
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
    std::string Token() {
        const std::size_t end = text_.find_first_of(";,}", at_);
        FUZZ_CHECK(end != std::string::npos);
        const std::string token = text_.substr(at_, end - at_);
        at_ = end;
        return token;
    }

private:
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

void CheckMofValue(MofReader& mof, const TCIMValue& value) {
    std::string text;
    switch (value.GetType()) {
        case kCIMTypeNull: FUZZ_CHECK(mof.Token() == "NULL"); return;
        case kCIMTypeBoolean: FUZZ_CHECK(mof.Token() == (value.AsBool() ? "TRUE" : "FALSE")); return;
        case kCIMTypeUInt16:
        case kCIMTypeUInt32:
        case kCIMTypeUInt64: FUZZ_CHECK(mof.Token() == std::to_string(value.AsUInt64())); return;
        case kCIMTypeString: FUZZ_CHECK(mof.String(&text) && TextMatches(text, value.AsString())); return;
        case kCIMTypeReference:
            // An alias of an instance written before, or the path.
            if (mof.Take("$")) {
                FUZZ_CHECK(mof.Token().rfind(value.AsReference().ClassName() + "_", 0) == 0);
            } else {
                FUZZ_CHECK(mof.String(&text) && TextMatches(text, value.AsReference().ToString()));
            }
            return;
        case kCIMTypeStringArray: {
            FUZZ_CHECK(mof.Take("{"));
            bool first = true;
            for (const TCIMValue& element : value.Elements()) {
                FUZZ_CHECK(first || mof.Take(", "));
                first = false;
                FUZZ_CHECK(mof.String(&text) && TextMatches(text, element.ToString()));
            }
            FUZZ_CHECK(mof.Take("}"));
            return;
        }
    }
}

void CheckMof(const kvlhost::InstanceList& instances) {
    const std::string text = kvlhost::FormatMof(instances);
    MofReader mof(text);
    for (std::size_t i = 0; i < instances.size(); ++i) {
        const THubInstance& instance = *instances[i];
        FUZZ_CHECK(i == 0 || mof.Take("\n"));
        FUZZ_CHECK(mof.Take("// ") && TextMatches(mof.PathLine(), instance.Path()));
        FUZZ_CHECK(mof.Take("instance of " + instance.ClassName()));
        const std::string alias = mof.Line();
        FUZZ_CHECK(alias.empty() || alias.rfind(" as $" + instance.ClassName() + "_", 0) == 0);
        FUZZ_CHECK(mof.Take("{\n"));
        for (const THubProperty& property : instance.Properties()) {
            FUZZ_CHECK(mof.Take("    " + *property.name + " = "));
            CheckMofValue(mof, property.value);
            FUZZ_CHECK(mof.Take(";\n"));
        }
        FUZZ_CHECK(mof.Take("};\n"));
    }
    FUZZ_CHECK(mof.AtEnd());
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
// kind; references point at instances made before.
void OutputFormatsTarget(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const auto ns = boost::make_shared<TPluginManagerNamespace>();
    std::vector<Instance> made;
    while (!in.Empty() && made.size() < 16) {
        const Instance instance = boost::dynamic_pointer_cast<THubInstance>(
            ns->GetClass(kClasses[in.Below(std::size(kClasses))], {})->CreateInstance({}));
        for (std::uint32_t n = in.Below(6); n > 0; --n) {
            instance->SetProperty(kProperties[in.Below(std::size(kProperties))], Value(in, made), {});
        }
        made.push_back(instance);
    }
    const kvlhost::InstanceList instances(made.begin(), made.end());
    CheckJson(instances);
    CheckMof(instances);
}

}  // namespace linkscope::fuzz
