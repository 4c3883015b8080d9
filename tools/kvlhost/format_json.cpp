// JSON output: properties in the order they were set, with their CIM types.
// Written straight into the output buffer, indented by two spaces per
// level; an inventory of thousands of instances is tens of megabytes, so
// nothing is built in between.
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <sstream>

#include "format.h"
#include "output_buffer.h"
#include "text_escape.h"

namespace kvlhost {

using NQRXKVL20::TCIMValue;

namespace {

// The JSON text of a CIM type's name, quotes included.
const char* QuotedTypeName(NQRXKVL20::ECIMType type) {
    switch (type) {
        case NQRXKVL20::kCIMTypeBoolean:
            return "\"boolean\"";
        case NQRXKVL20::kCIMTypeUInt16:
            return "\"uint16\"";
        case NQRXKVL20::kCIMTypeUInt32:
            return "\"uint32\"";
        case NQRXKVL20::kCIMTypeUInt64:
            return "\"uint64\"";
        case NQRXKVL20::kCIMTypeString:
            return "\"string\"";
        case NQRXKVL20::kCIMTypeReference:
            return "\"ref\"";
        case NQRXKVL20::kCIMTypeStringArray:
            return "\"string[]\"";
        case NQRXKVL20::kCIMTypeNull:
            break;
    }
    return "\"null\"";
}

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void Text(const std::string& text) {
        out_.Used(PutQuoted(text, out_.Room(kMostEscapedBytesPerByte * text.size() + 2)));
    }

    void Number(unsigned long long value) {
        char* out = out_.Room(24);
        out_.Used(std::to_chars(out, out + 24, value).ptr);
    }

    void Raw(const char* text) { out_.Put(text, std::strlen(text)); }
    void Flush() { out_.Flush(); }

    // Opens an object or array whose members follow; empty ones close at once.
    void Open(char bracket) {
        out_.Put(bracket);
        ++depth_;
        first_ = true;
    }
    void Close(char bracket) {
        --depth_;
        if (!first_) NewLine();
        out_.Put(bracket);
        first_ = false;
    }
    // Starts the next member of the innermost object or array.
    void Member() {
        if (!first_) out_.Put(',');
        NewLine();
        first_ = false;
    }
    // A key of the document's own, plain ASCII that needs no escape.
    void Key(const char* plainKey) {
        Member();
        const std::size_t length = std::strlen(plainKey);
        char* out = out_.Room(length + 4);
        *out++ = '"';
        std::memcpy(out, plainKey, length);
        std::memcpy(out + length, "\": ", 3);
        out_.Used(out + length + 3);
    }
    // The same for a property name the store holds: the instances of a
    // class share a few names, each written twice per instance, so each is
    // escaped once, with the comma and indentation before it, and kept in
    // a slot picked by its address (with its text, should the address be
    // reused for another name); two names that meet in one slot are
    // escaped again in turn.
    void PropertyKey(const std::string& name) {
        EscapedKey& known = keys_[(reinterpret_cast<std::uintptr_t>(&name) >> 4) % keys_.size()];
        if (known.address != &name || known.depth != depth_ || known.name != name) {
            known.address = &name;
            known.depth = depth_;
            known.name = name;
            known.text.resize(2 + 2 * depth_ + kMostEscapedBytesPerByte * name.size() + 4);
            char* out = known.text.data();
            *out++ = ',';
            *out++ = '\n';
            std::memset(out, ' ', 2 * depth_);
            out = PutQuoted(name, out + 2 * depth_);
            std::memcpy(out, ": ", 2);
            known.text.resize(static_cast<std::size_t>(out + 2 - known.text.data()));
        }
        const std::size_t comma = first_ ? 1 : 0;  // the first member goes without
        out_.Put(known.text.data() + comma, known.text.size() - comma);
        first_ = false;
    }

private:
    struct EscapedKey {
        const std::string* address = nullptr;
        std::size_t depth = 0;
        std::string name;
        std::string text;  // comma, new line, indentation, the name quoted and escaped, colon and blank
    };

    // Writes `text` as a JSON string at `out`, which has room for it, and
    // returns the end.
    static char* PutQuoted(const std::string& text, char* out) {
        *out++ = '"';
        out = CopyEscaped(text, out, [](char* to, unsigned char c) {
            return PutBackslashEscape(to, c, 'u', "0123456789abcdef");
        });
        *out++ = '"';
        return out;
    }

    void NewLine() {
        char* out = out_.Room(1 + 2 * depth_);
        *out++ = '\n';
        std::memset(out, ' ', 2 * depth_);
        out_.Used(out + 2 * depth_);
    }

    OutputBuffer out_;
    std::size_t depth_ = 0;
    bool first_ = true;
    std::array<EscapedKey, 256> keys_;
};

void WriteValue(JsonWriter& json, const TCIMValue& value) {
    switch (value.GetType()) {
        case NQRXKVL20::kCIMTypeNull:
            json.Raw("null");
            return;
        case NQRXKVL20::kCIMTypeBoolean:
            json.Raw(value.AsBool() ? "true" : "false");
            return;
        case NQRXKVL20::kCIMTypeUInt16:
        case NQRXKVL20::kCIMTypeUInt32:
        case NQRXKVL20::kCIMTypeUInt64:
            json.Number(value.AsUInt64());
            return;
        case NQRXKVL20::kCIMTypeStringArray:
            json.Open('[');
            for (const TCIMValue& element : value.Elements()) {
                json.Member();
                json.Text(element.AsString());
            }
            json.Close(']');
            return;
        case NQRXKVL20::kCIMTypeString:
            json.Text(value.AsString());
            return;
        case NQRXKVL20::kCIMTypeReference:  // as its object path
            json.Text(value.AsReference().ToString());
            return;
        default:
            json.Text(value.ToString());
    }
}

class JsonInstanceWriter : public InstanceWriter {
public:
    explicit JsonInstanceWriter(std::ostream& out) : json_(out) {
        json_.Open('{');
        json_.Key("instances");
        json_.Open('[');
    }

    void Write(const NQRXKVL20::THubInstance& instance) override {
        json_.Member();
        json_.Open('{');
        json_.Key("class");
        json_.Text(instance.ClassName());
        json_.Key("path");
        instance.WritePath(path_);
        json_.Text(path_);
        json_.Key("properties");
        json_.Open('{');
        for (const auto& property : instance.Properties()) {
            json_.PropertyKey(*property.name);
            WriteValue(json_, property.value);
        }
        json_.Close('}');
        json_.Key("types");
        json_.Open('{');
        for (const auto& property : instance.Properties()) {
            json_.PropertyKey(*property.name);
            json_.Raw(QuotedTypeName(property.value.GetType()));
        }
        json_.Close('}');
        json_.Close('}');
    }

    void Finish() override {
        json_.Close(']');
        json_.Close('}');
        json_.Raw("\n");
        json_.Flush();
    }

private:
    JsonWriter json_;
    std::string path_;  // of the instance being written, its memory kept for the next
};

}  // namespace

std::unique_ptr<InstanceWriter> MakeJsonWriter(std::ostream& out) {
    return std::make_unique<JsonInstanceWriter>(out);
}

std::string FormatJson(const InstanceList& instances) {
    std::ostringstream text;
    const auto writer = MakeJsonWriter(text);
    for (const auto& instance : instances) writer->Write(*instance);
    writer->Finish();
    return text.str();
}

}  // namespace kvlhost
