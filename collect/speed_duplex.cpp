#include "collect/speed_duplex.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "collect/adapters_info.h"
#include "platform/platform.h"
#include "platform/registry_key.h"
#include "platform/registry_text.h"

namespace linkscope {
namespace {

constexpr std::array<const char*, 22> kBroadcomSpeedDuplex = {
    "AUTO",          "",
    "",              "10Mbps Half",
    "10Mbps Full",   "100Mbps Half",
    "100Mbps Full",  "1000Mbps Half",
    "1000Mbps Full", "",
    "",              "1000Mbps Half",
    "1000Mbps Full", "2500Mbps Half",
    "2500Mbps Full", "1Gbps Half(AutoNeg)",
    "1Gbps Full(AutoNeg)", "2.5Gbps Half(AutoNeg)",
    "2.5Gbps Full(AutoNeg)", "Hardware Default",
    "10Gbps Half",   "10Gbps Full",
};

constexpr std::uint32_t kSettingBufferSize = 8192;
constexpr std::uint32_t kMaxValueNameChars = 16383;
constexpr std::uint32_t kEnumDataGrowth = 1024;
// An enumeration entry is a short display text; a value that keeps asking
// for more than this is not one, and the search stops there.
constexpr std::uint32_t kMaxEnumDataSize = 1u << 20;

enum class EnumSearch { kMatched, kNoMatch, kUnavailable };

// Looks for the value whose name reads as `code` in the enumeration key at
// `path`; its text goes to `text`.
EnumSearch SearchEnumeration(platform::RegistryApi& registry, const std::string& path, int code, std::string& text) {
    platform::RegistryKey key(registry, path, platform::kKeyQueryValue);
    if (!key.IsOpen()) return EnumSearch::kUnavailable;
    std::uint32_t subkeys = 0;
    std::uint32_t values = 0;
    if (registry.QueryInfoKey(key.Handle(), &subkeys, &values) != platform::kSuccess || values == 0) {
        return EnumSearch::kUnavailable;
    }
    std::uint32_t dataSize = kSettingBufferSize;
    for (std::uint32_t index = 0; index < values;) {
        platform::RegEnumValue entry = registry.EnumValue(key.Handle(), index, kMaxValueNameChars, dataSize);
        if (entry.result == platform::kMoreData) {
            if (dataSize >= kMaxEnumDataSize) break;
            dataSize += kEnumDataGrowth;
            continue;  // the same index again, with more room
        }
        if (entry.result == platform::kSuccess && std::atoi(entry.name.c_str()) == code) {
            text = platform::RegistryText(entry.value.data);
            return EnumSearch::kMatched;
        }
        ++index;
    }
    return EnumSearch::kNoMatch;
}

}  // namespace

std::string BroadcomSpeedDuplexText(std::uint32_t code) {
    return code < kBroadcomSpeedDuplex.size() ? kBroadcomSpeedDuplex[code] : "";
}

std::optional<std::string> DriverSpeedDuplexText(const std::string& classKeyPath) {
    platform::RegistryApi& registry = platform::Current().Registry();
    int code = 0;
    std::string enumPath;
    {
        platform::RegistryKey driver(registry, classKeyPath, platform::kKeyRead);
        if (driver.IsOpen()) {
            static const std::string kSettings[] = {"SpeedDuplex", "RequestedMediaType"};
            for (const std::string& setting : kSettings) {
                const platform::RegValue value = registry.QueryValue(driver.Handle(), setting, kSettingBufferSize);
                if (value.result != platform::kSuccess) continue;
                code = std::atoi(platform::RegistryText(value.data).c_str());
                enumPath = classKeyPath + "\\Ndi\\Params\\" + setting + "\\enum";
                break;
            }
        }
    }
    if (!enumPath.empty()) {
        std::string text;
        switch (SearchEnumeration(registry, enumPath, code, text)) {
            case EnumSearch::kMatched: return text;
            case EnumSearch::kUnavailable: return std::nullopt;
            case EnumSearch::kNoMatch: break;
        }
    }
    return std::string(kUnknownSpeedDuplex);
}

void AdaptersInfo::ReadSpeedDuplex(NetworkAdapter& adapter, const std::string& classKeyPath) {
    std::optional<std::string> text = DriverSpeedDuplexText(classKeyPath);
    if (text && adapter.GetSpeedDuplex().empty()) adapter.SetSpeedDuplex(std::move(*text));
}

}  // namespace linkscope
