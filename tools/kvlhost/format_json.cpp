// JSON output: properties in the order they were set, with their CIM types.
#include <nlohmann/json.hpp>

#include "format.h"

namespace kvlhost {

using NQRXKVL20::TCIMValue;
using Json = nlohmann::ordered_json;

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

Json JsonValue(const TCIMValue& value) {
    switch (value.GetType()) {
        case NQRXKVL20::kCIMTypeNull:
            return nullptr;
        case NQRXKVL20::kCIMTypeBoolean:
            return value.AsBool();
        case NQRXKVL20::kCIMTypeUInt16:
        case NQRXKVL20::kCIMTypeUInt32:
        case NQRXKVL20::kCIMTypeUInt64:
            return value.AsUInt64();
        case NQRXKVL20::kCIMTypeStringArray: {
            Json array = Json::array();
            for (const TCIMValue& element : value.Elements()) array.push_back(element.ToString());
            return array;
        }
        default:  // strings, and references as their object path
            return value.ToString();
    }
}

}  // namespace

std::string FormatJson(const InstanceList& instances) {
    Json list = Json::array();
    for (const auto& instance : instances) {
        Json properties = Json::object();
        Json types = Json::object();
        for (const auto& property : instance->Properties()) {
            properties[property.first] = JsonValue(property.second);
            types[property.first] = CimTypeName(property.second.GetType());
        }
        list.push_back(Json{{"class", instance->ClassName()},
                            {"path", instance->Path()},
                            {"properties", std::move(properties)},
                            {"types", std::move(types)}});
    }
    const Json document = {{"instances", std::move(list)}};
    return document.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace kvlhost
