// MOF output: one "instance of" block per instance, after its path;
// references to instances written before name their alias.
#include <charconv>
#include <cstring>
#include <sstream>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "format.h"
#include "output_buffer.h"
#include "platform/position_index.h"
#include "text_escape.h"

namespace kvlhost {

using NQRXKVL20::THubInstance;
using NQRXKVL20::TCIMValue;

namespace {

constexpr char kMofHexDigits[] = "0123456789ABCDEF";

// A MOF string literal: quotes around the text with its control
// characters, quotes and backslashes escaped.
void PutMofString(OutputBuffer& out, const std::string& text) {
    char* to = out.Room(kMostEscapedBytesPerByte * text.size() + 2);
    *to++ = '"';
    to = CopyEscaped(text, to, [](char* at, unsigned char c) {
        return PutBackslashEscape(at, c, 'x', kMofHexDigits);
    });
    *to++ = '"';
    out.Used(to);
}

// The "// PATH" line above an instance. The path is written as it is, its
// quotes and backslashes already escaped within it, but a control
// character in a key is escaped as in a string literal, so that the
// comment stays one line and the output stays valid.
void PutPathComment(OutputBuffer& out, const std::string& path) {
    char* to = out.Room(kMostEscapedBytesPerByte * path.size() + 4);
    std::memcpy(to, "// ", 3);
    to = CopyEscaped(path, to + 3, [](char* at, unsigned char c) {
        if (c >= 0x20) {
            *at = static_cast<char>(c);
            return at + 1;
        }
        return PutBackslashEscape(at, c, 'x', kMofHexDigits);
    });
    *to++ = '\n';
    out.Used(to);
}

void PutNumber(OutputBuffer& out, unsigned long long value) {
    char* to = out.Room(24);
    out.Used(std::to_chars(to, to + 24, value).ptr);
}

// An instance that another one of the output refers to is written
// "instance of CLASS as $CLASS_N" (N counting the instances of its class
// from 1), and a reference to it further down names that alias, so a
// reader can follow it. A reference to an instance further down or not in
// the output stays its object path; of instances sharing a path only the
// first gets an alias.
//
// Which instances are referred to is known from the references written so
// far and from the associations foreseen before the output started. Only
// the referred-to paths are kept, each with its alias number, never the
// instances; a path's text is the one the references share, not a copy.
class MofWriter : public InstanceWriter {
public:
    explicit MofWriter(std::ostream& out) : out_(out) {}

    bool NeedsLookahead() const override { return true; }

    void Foresee(const THubInstance& instance) override { NoteReferences(instance); }

    void Write(const THubInstance& instance) override {
        // The instance's own references count too: one that refers to
        // itself names its own alias.
        NoteReferences(instance);
        if (written_) out_.Put('\n');
        written_ = true;
        const std::string& className = instance.ClassName();
        const unsigned number = ++CountOf(className);
        instance.WritePath(path_);
        PutPathComment(out_, path_);
        out_.Put("instance of ", 12);
        out_.Put(className);
        Referred* referred = FindReferred(path_);
        if (referred != nullptr && referred->alias == 0) {
            referred->alias = number;
            PutAlias(className, number, " as $");
        }
        out_.Put("\n{\n", 3);
        std::size_t references = 0;
        for (const auto& property : instance.Properties()) {
            out_.Put("    ", 4);
            out_.Put(*property.name);
            out_.Put(" = ", 3);
            if (property.value.GetType() == NQRXKVL20::kCIMTypeReference) {
                PutReference(property.value.AsReference(), &referred_[referencesAt_[references++]]);
            } else {
                PutValue(property.value);
            }
            out_.Put(";\n", 2);
        }
        out_.Put("};\n", 3);
    }

    void Finish() override { out_.Flush(); }

private:
    // A referred-to instance's path: a copy of a reference to it, which
    // shares the path's text with the store's, and its alias number, 0
    // until the first instance with that path is written.
    struct Referred {
        NQRXKVL20::TCIMReference reference;
        unsigned alias;
    };
    struct PathOfReferred {
        const std::vector<Referred>* referred;
        std::string_view operator()(std::size_t at) const { return (*referred)[at].reference.ToString(); }
    };
    // Notes the instance's references as referred to, and leaves where
    // each is noted, in property order, in referencesAt_.
    void NoteReferences(const THubInstance& instance) {
        referencesAt_.clear();
        for (const auto& property : instance.Properties()) {
            if (property.value.GetType() != NQRXKVL20::kCIMTypeReference) continue;
            const NQRXKVL20::TCIMReference& reference = property.value.AsReference();
            const auto [at, added] =
                referredAt_.Emplace(reference.ToString(), referred_.size(), PathOfReferred{&referred_});
            if (added) referred_.push_back(Referred{reference, 0});
            referencesAt_.push_back(at);
        }
    }

    // `referred` is where the reference is noted, if it is.
    void PutReference(const NQRXKVL20::TCIMReference& reference, const Referred* referred) {
        if (referred != nullptr && referred->alias != 0) {
            PutAlias(reference.ClassName(), referred->alias, "$");
        } else {
            PutMofString(out_, reference.ToString());
        }
    }

    Referred* FindReferred(std::string_view path) {
        const std::size_t at = referredAt_.Find(path, PathOfReferred{&referred_});
        return at == linkscope::PositionIndex::npos ? nullptr : &referred_[at];
    }

    // Instances come in runs of one class: the count of the class written
    // last is at hand without a look-up. A map keeps its elements in place.
    unsigned& CountOf(const std::string& className) {
        if (lastCount_ == nullptr || className != lastClass_) {
            lastCount_ = &countOfClass_[className];
            lastClass_ = className;
        }
        return *lastCount_;
    }

    void PutAlias(const std::string& className, unsigned number, const char* lead) {
        out_.Put(lead, std::char_traits<char>::length(lead));
        out_.Put(className);
        out_.Put('_');
        PutNumber(out_, number);
    }

    void PutValue(const TCIMValue& value) {
        switch (value.GetType()) {
            case NQRXKVL20::kCIMTypeNull:
                out_.Put("NULL", 4);
                return;
            case NQRXKVL20::kCIMTypeBoolean:
                if (value.AsBool()) {
                    out_.Put("TRUE", 4);
                } else {
                    out_.Put("FALSE", 5);
                }
                return;
            case NQRXKVL20::kCIMTypeUInt16:
            case NQRXKVL20::kCIMTypeUInt32:
            case NQRXKVL20::kCIMTypeUInt64:
                PutNumber(out_, value.AsUInt64());
                return;
            case NQRXKVL20::kCIMTypeStringArray: {
                out_.Put('{');
                bool first = true;
                for (const TCIMValue& element : value.Elements()) {
                    if (!first) out_.Put(", ", 2);
                    first = false;
                    PutMofString(out_, element.ToString());
                }
                out_.Put('}');
                return;
            }
            case NQRXKVL20::kCIMTypeReference: {
                const NQRXKVL20::TCIMReference& reference = value.AsReference();
                PutReference(reference, FindReferred(reference.ToString()));
                return;
            }
            case NQRXKVL20::kCIMTypeString:
                PutMofString(out_, value.AsString());
                return;
        }
        PutMofString(out_, value.ToString());
    }

    OutputBuffer out_;
    std::string path_;  // of the instance being written, its memory kept for the next
    bool written_ = false;
    std::unordered_map<std::string, unsigned> countOfClass_;
    std::string lastClass_;
    unsigned* lastCount_ = nullptr;
    // The paths in the order first foreseen, found by their text without
    // a node per path.
    std::vector<Referred> referred_;
    linkscope::PositionIndex referredAt_;
    std::vector<std::size_t> referencesAt_;  // of the instance being written
};

}  // namespace

std::unique_ptr<InstanceWriter> MakeMofWriter(std::ostream& out) { return std::make_unique<MofWriter>(out); }

std::string FormatMof(const InstanceList& instances) {
    std::ostringstream text;
    const auto writer = MakeMofWriter(text);
    for (const auto& instance : instances) writer->Foresee(*instance);
    for (const auto& instance : instances) writer->Write(*instance);
    writer->Finish();
    return text.str();
}

}  // namespace kvlhost
