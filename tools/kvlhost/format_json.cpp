// JSON output: properties in the order they were set, with their CIM types.
// Written straight into the output buffer, indented by two spaces per
// level; an inventory of thousands of instances is tens of megabytes, so
// nothing is built in between.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <sstream>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "format.h"
#include "output_buffer.h"

namespace kvlhost {

using NQRXKVL20::TCIMValue;

namespace {

const char* CimTypeName(NQRXKVL20::ECIMType type) {
    switch (type) {
        case NQRXKVL20::kCIMTypeBoolean:
            return "boolean";
        case NQRXKVL20::kCIMTypeUInt16:
            return "uint16";
        case NQRXKVL20::kCIMTypeUInt32:
            return "uint32";
        case NQRXKVL20::kCIMTypeUInt64:
            return "uint64";
        case NQRXKVL20::kCIMTypeString:
            return "string";
        case NQRXKVL20::kCIMTypeReference:
            return "ref";
        case NQRXKVL20::kCIMTypeStringArray:
            return "string[]";
        case NQRXKVL20::kCIMTypeNull:
            break;
    }
    return "null";
}

// Length of the well-formed UTF-8 sequence at `text[at]`, or 0 when it is
// not one; `*invalidLength` is then the length of its longest valid prefix
// (at least 1), which one replacement character stands for.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t at, std::size_t* invalidLength) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;  // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    }
    *invalidLength = 1;
    if (length == 0) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= text.size()) return 0;
        const unsigned char next = byte(at + i);
        const bool fits = i == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
        if (!fits) return 0;
        *invalidLength = i + 1;
    }
    return length;
}

#if defined(__SSE2__)
// Bit i set for each of the 16 bytes at `bytes` that is not plain: below
// 0x20 or from 0x80 (both below 0x20 as signed bytes), a quote or a
// backslash.
unsigned SpecialBytes(const char* bytes) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i special = _mm_or_si128(_mm_cmplt_epi8(block, _mm_set1_epi8(0x20)),
                                         _mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8('"')),
                                                      _mm_cmpeq_epi8(block, _mm_set1_epi8('\\'))));
    return static_cast<unsigned>(_mm_movemask_epi8(special));
}

// Where the run of plain characters from `from` ends. Sixteen bytes at a
// time; the last few are copied into a block of their own, so that nothing
// past the text is read.
std::size_t PlainRunEnd(const std::string& text, std::size_t from) {
    std::size_t at = from;
    for (; at + 16 <= text.size(); at += 16) {
        if (const unsigned special = SpecialBytes(text.data() + at)) return at + __builtin_ctz(special);
    }
    if (at == text.size()) return at;
    char tail[16] = {};
    const std::size_t left = text.size() - at;
    std::memcpy(tail, text.data() + at, left);
    const unsigned special = SpecialBytes(tail) | (0xFFFFu << left);  // the padding ends the run
    return at + __builtin_ctz(special);
}
#else
// Printable ASCII other than quote and backslash: copied as it is.
constexpr auto kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '"' && c != '\\';
    return plain;
}();

// Where the run of plain characters from `from` ends. Eight bytes at a
// time while they are all plain: none below 0x20, none from 0x80, no quote
// and no backslash.
std::size_t PlainRunEnd(const std::string& text, std::size_t from) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    const auto hasZeroByte = [](std::uint64_t word) { return (word - kOnes) & ~word & kHighs; };
    std::size_t at = from;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, 8);
        const std::uint64_t special = (word & kHighs) | ((word - 0x20 * kOnes) & ~word & kHighs) |
                                      hasZeroByte(word ^ ('"' * kOnes)) | hasZeroByte(word ^ ('\\' * kOnes));
        if (special != 0) break;
    }
    while (at < text.size() && kPlain[static_cast<unsigned char>(text[at])]) ++at;
    return at;
}
#endif

class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void Text(const std::string& text) {
        static const char kHex[] = "0123456789abcdef";
        // At most six bytes out ("\u00XX") for every byte in, and the quotes.
        char* out = out_.Room(6 * text.size() + 2);
        *out++ = '"';
        for (std::size_t i = 0; i < text.size();) {
            // Printable ASCII without quote or backslash goes over in one run.
            const std::size_t run = PlainRunEnd(text, i);
            std::memcpy(out, text.data() + i, run - i);
            out += run - i;
            i = run;
            if (i == text.size()) break;
            const auto c = static_cast<unsigned char>(text[i]);
            if (c >= 0x80) {
                std::size_t invalid = 0;
                if (const std::size_t length = Utf8SequenceLength(text, i, &invalid)) {
                    std::memcpy(out, text.data() + i, length);
                    out += length;
                    i += length;
                } else {
                    std::memcpy(out, "\xEF\xBF\xBD", 3);  // U+FFFD for bytes that are not UTF-8
                    out += 3;
                    i += invalid;
                }
                continue;
            }
            *out++ = '\\';
            switch (c) {
                case '"': *out++ = '"'; break;
                case '\\': *out++ = '\\'; break;
                case '\b': *out++ = 'b'; break;
                case '\f': *out++ = 'f'; break;
                case '\n': *out++ = 'n'; break;
                case '\r': *out++ = 'r'; break;
                case '\t': *out++ = 't'; break;
                default:  // the other control characters
                    std::memcpy(out, "u00", 3);
                    out[3] = kHex[c >> 4];
                    out[4] = kHex[c & 0xF];
                    out += 5;
            }
            ++i;
        }
        *out++ = '"';
        out_.Used(out);
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
    void Key(const std::string& key) {
        Member();
        Text(key);
        out_.Put(": ", 2);
    }

private:
    void NewLine() {
        char* out = out_.Room(1 + 2 * depth_);
        *out++ = '\n';
        std::memset(out, ' ', 2 * depth_);
        out_.Used(out + 2 * depth_);
    }

    OutputBuffer out_;
    std::size_t depth_ = 0;
    bool first_ = true;
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
        json_.Text(instance.Path());
        json_.Key("properties");
        json_.Open('{');
        for (const auto& property : instance.Properties()) {
            json_.Key(*property.name);
            WriteValue(json_, property.value);
        }
        json_.Close('}');
        json_.Key("types");
        json_.Open('{');
        for (const auto& property : instance.Properties()) {
            json_.Key(*property.name);
            json_.Text(CimTypeName(property.value.GetType()));
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
