// MOF output: one "instance of" block per instance, after its path.
#include <cstdio>

#include "format.h"

namespace kvlhost {

using NQRXKVL20::TCIMValue;

namespace {

std::string MofString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\b': out += "\\b"; break;
            case '\f': out += "\\f"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string MofValue(const TCIMValue& value) {
    switch (value.GetType()) {
        case NQRXKVL20::kCIMTypeNull:
            return "NULL";
        case NQRXKVL20::kCIMTypeBoolean:
            return value.AsBool() ? "TRUE" : "FALSE";
        case NQRXKVL20::kCIMTypeUInt16:
        case NQRXKVL20::kCIMTypeUInt32:
        case NQRXKVL20::kCIMTypeUInt64:
            return value.ToString(10);
        case NQRXKVL20::kCIMTypeStringArray: {
            std::string out = "{";
            for (const TCIMValue& element : value.Elements()) {
                if (out.size() > 1) out += ", ";
                out += MofString(element.ToString());
            }
            return out + "}";
        }
        default:  // strings, and references as their object path
            return MofString(value.ToString());
    }
}

}  // namespace

std::string FormatMof(const InstanceList& instances) {
    std::string out;
    for (const auto& instance : instances) {
        if (!out.empty()) out += "\n";
        out += "// " + instance->Path() + "\n";
        out += "instance of " + instance->ClassName() + "\n{\n";
        for (const auto& property : instance->Properties()) {
            out += "    " + property.first + " = " + MofValue(property.second) + ";\n";
        }
        out += "};\n";
    }
    return out;
}

}  // namespace kvlhost
