// Test support: what a registry view holds below a key, as text.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "platform/device_registry.h"
#include "platform/registry_key.h"

namespace linkscope::testing {

// A value's type and data, printable bytes as they are and others as <XX>;
// or "-" when it cannot be read.
inline std::string Shown(const platform::RegValue& value) {
    if (value.result != platform::kSuccess) return "-";
    std::string text = std::to_string(value.type) + " ";
    for (unsigned char byte : value.data) {
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "<%02X>", byte);
        text += (byte >= 0x20 && byte < 0x7F) ? std::string(1, static_cast<char>(byte)) : std::string(escaped);
    }
    return text;
}

inline std::string Shown(platform::RegistryApi& registry, const std::string& path, const std::string& name) {
    platform::RegistryKey key(registry, path, platform::kKeyRead);
    return key.IsOpen() ? Shown(registry.QueryValue(key.Handle(), name, 8192)) : "-";
}

// The subkey names of `path`, in the order the registry enumerates them.
inline std::vector<std::string> Subkeys(platform::RegistryApi& registry, const std::string& path) {
    platform::RegistryKey key(registry, path, platform::kKeyRead);
    std::vector<std::string> names;
    std::string name;
    while (key.IsOpen() && registry.EnumKey(key.Handle(), static_cast<std::uint32_t>(names.size()), 255, &name) ==
                               platform::kSuccess) {
        names.push_back(name);
    }
    return names;
}

// Every value of `path` as "name type data", in enumeration order.
inline std::vector<std::string> Values(platform::RegistryApi& registry, const std::string& path) {
    platform::RegistryKey key(registry, path, platform::kKeyRead);
    std::vector<std::string> values;
    for (std::uint32_t i = 0; key.IsOpen(); ++i) {
        const platform::RegEnumValue entry = registry.EnumValue(key.Handle(), i, 16383, 8192);
        if (entry.result != platform::kSuccess) break;
        values.push_back(entry.name + " " + Shown(entry.value));
    }
    return values;
}

// The keys at and below `path`, depth first in enumeration order, each
// as its path and then its values indented, one per line. Each subkey is
// opened by its parent's path and its name.
inline void Walk(platform::RegistryApi& registry, const std::string& path, std::string& out) {
    out += path + "\n";
    for (const std::string& value : Values(registry, path)) out += "  " + value + "\n";
    for (const std::string& name : Subkeys(registry, path)) Walk(registry, path.empty() ? name : path + "\\" + name, out);
}

inline std::string Walked(platform::RegistryApi& registry, const std::string& path = "") {
    std::string out;
    Walk(registry, path, out);
    return out;
}

}  // namespace linkscope::testing
