// MOF output: one "instance of" block per instance, after its path;
// references to instances written before name their alias.
#include <cstdio>
#include <map>
#include <set>
#include <string>

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

// Object path → alias of the instance written with that path.
typedef std::map<std::string, std::string> AliasMap;

std::string MofValue(const TCIMValue& value, const AliasMap& aliases) {
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
        case NQRXKVL20::kCIMTypeReference: {
            const auto alias = aliases.find(value.ToString());
            if (alias != aliases.end()) return alias->second;
            return MofString(value.ToString());
        }
        default:
            return MofString(value.ToString());
    }
}

// The object paths that some instance refers to.
std::set<std::string> ReferencedPaths(const InstanceList& instances) {
    std::set<std::string> paths;
    for (const auto& instance : instances) {
        for (const auto& property : instance->Properties()) {
            if (property.second.GetType() == NQRXKVL20::kCIMTypeReference) paths.insert(property.second.ToString());
        }
    }
    return paths;
}

}  // namespace

// An instance that another one refers to is written "instance of CLASS as
// $CLASS_N" (N counting the instances of its class from 1), and a
// reference to it further down names that alias, so a reader can follow
// it. A reference to an instance further down or not in the output stays
// its object path; of instances sharing a path only the first gets an
// alias.
std::string FormatMof(const InstanceList& instances) {
    const std::set<std::string> referenced = ReferencedPaths(instances);
    AliasMap aliases;
    std::map<std::string, unsigned> countOfClass;
    std::string out;
    for (const auto& instance : instances) {
        if (!out.empty()) out += "\n";
        const std::string path = instance->Path();
        const unsigned number = ++countOfClass[instance->ClassName()];
        out += "// " + path + "\n";
        out += "instance of " + instance->ClassName();
        if (referenced.count(path) != 0 && aliases.count(path) == 0) {
            const std::string alias = "$" + instance->ClassName() + "_" + std::to_string(number);
            out += " as " + alias;
            aliases[path] = alias;
        }
        out += "\n{\n";
        for (const auto& property : instance->Properties()) {
            out += "    " + property.first + " = " + MofValue(property.second, aliases) + ";\n";
        }
        out += "};\n";
    }
    return out;
}

}  // namespace kvlhost
