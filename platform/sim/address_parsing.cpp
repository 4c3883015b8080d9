#include "platform/sim/address_parsing.h"

namespace linkscope::sim {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::uint8_t> HexPair(std::string_view text) {
    const int high = HexDigit(text[0]);
    const int low = HexDigit(text[1]);
    if (high < 0 || low < 0) return std::nullopt;
    return static_cast<std::uint8_t>(high * 16 + low);
}

// Appends the 16-bit groups of `text` ("1:2:a" or, with `allowIpv4`, a
// tail like "ffff:10.0.0.5"); the empty text holds no group.
bool AppendGroups(std::string_view text, bool allowIpv4, std::vector<std::uint16_t>* groups) {
    while (!text.empty()) {
        const auto colon = text.find(':');
        const std::string_view part = text.substr(0, colon);
        const bool last = colon == std::string_view::npos;
        if (last && allowIpv4 && part.find('.') != std::string_view::npos) {
            const auto v4 = ParseIpv4(part);
            if (!v4) return false;
            groups->push_back(static_cast<std::uint16_t>((*v4)[0] << 8 | (*v4)[1]));
            groups->push_back(static_cast<std::uint16_t>((*v4)[2] << 8 | (*v4)[3]));
            return true;
        }
        if (part.empty() || part.size() > 4) return false;
        unsigned value = 0;
        for (const char c : part) {
            const int digit = HexDigit(c);
            if (digit < 0) return false;
            value = value * 16 + static_cast<unsigned>(digit);
        }
        groups->push_back(static_cast<std::uint16_t>(value));
        if (last) return true;
        text.remove_prefix(colon + 1);
        if (text.empty()) return false;  // a trailing single ":"
    }
    return true;
}

}  // namespace

std::optional<Ipv4Bytes> ParseIpv4(std::string_view text) {
    Ipv4Bytes bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        if (part.empty() || part.size() > 3) return std::nullopt;
        unsigned value = 0;
        for (const char c : part) {
            if (c < '0' || c > '9') return std::nullopt;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value > 255) return std::nullopt;
        bytes[i] = static_cast<std::uint8_t>(value);
        const bool last = i + 1 == bytes.size();
        if (last != (dot == std::string_view::npos)) return std::nullopt;
        if (!last) text.remove_prefix(dot + 1);
    }
    return bytes;
}

std::string FormatIpv4(const Ipv4Bytes& bytes) {
    return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." +
           std::to_string(bytes[2]) + "." + std::to_string(bytes[3]);
}

Ipv4Bytes MaskOfPrefix(int length) {
    const std::uint32_t bits = length <= 0 ? 0 : ~std::uint32_t{0} << (32 - length);
    return {static_cast<std::uint8_t>(bits >> 24), static_cast<std::uint8_t>(bits >> 16),
            static_cast<std::uint8_t>(bits >> 8), static_cast<std::uint8_t>(bits)};
}

std::optional<Ipv6Bytes> ParseIpv6(std::string_view text) {
    const auto gap = text.find("::");
    const bool compressed = gap != std::string_view::npos;
    std::vector<std::uint16_t> head;
    std::vector<std::uint16_t> tail;
    if (compressed) {
        if (!AppendGroups(text.substr(0, gap), false, &head) ||
            !AppendGroups(text.substr(gap + 2), true, &tail) || head.size() + tail.size() > 7) {
            return std::nullopt;
        }
    } else if (!AppendGroups(text, true, &head) || head.size() != 8) {
        return std::nullopt;
    }
    std::vector<std::uint16_t> groups = head;
    groups.resize(8 - tail.size(), 0);
    groups.insert(groups.end(), tail.begin(), tail.end());
    Ipv6Bytes bytes{};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        bytes[2 * i] = static_cast<std::uint8_t>(groups[i] >> 8);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(groups[i] & 0xFF);
    }
    return bytes;
}

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    if (text.empty()) return bytes;
    const bool separated = text.size() > 2 && (text[2] == '-' || text[2] == ':' || text[2] == ' ');
    const std::size_t step = separated ? 3 : 2;
    if ((text.size() + (separated ? 1 : 0)) % step != 0) return std::nullopt;
    bytes.reserve(text.size() / step + 1);
    for (std::size_t at = 0; at < text.size(); at += step) {
        if (separated && at > 0 && text[at - 1] != text[2]) return std::nullopt;
        const auto byte = HexPair(text.substr(at, 2));
        if (!byte) return std::nullopt;
        bytes.push_back(*byte);
    }
    return bytes;
}

}  // namespace linkscope::sim
