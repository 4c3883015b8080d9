// Parsing the address texts of a machine description. Each parser accepts
// exactly its form and answers nullopt for anything else, so the caller can
// name the field in its message.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkscope::sim {

using Ipv4Bytes = std::array<std::uint8_t, 4>;
using Ipv6Bytes = std::array<std::uint8_t, 16>;

// Four decimal parts from 0 to 255: "10.0.0.5".
std::optional<Ipv4Bytes> ParseIpv4(std::string_view text);
std::string FormatIpv4(const Ipv4Bytes& bytes);

// The mask of a prefix length from 0 to 32.
Ipv4Bytes MaskOfPrefix(int length);

// Eight groups of one to four hex digits separated by ":", where one "::"
// may stand for one or more zero groups and the last two groups may be
// written as a dotted IPv4 address: "fe80::21a:2bff:fe3c:4d5e",
// "::ffff:10.0.0.5". No zone suffix.
std::optional<Ipv6Bytes> ParseIpv6(std::string_view text);

// Pairs of hex digits, either adjacent ("00ff") or all separated by the same
// one of "-", ":" or " " ("00-1A-2B"). The empty text is zero bytes.
std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view text);

}  // namespace linkscope::sim
