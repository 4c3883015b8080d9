// Text forms of hardware and IP addresses as the inventory reports them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace linkscope {

// Bare upper-case hex, two digits per byte: "001A2B3C4D5E". The first byte
// is always written (as "00" when there is none).
std::string BareHardwareAddress(const std::vector<std::uint8_t>& bytes);
// Colon-separated pairs: "00:1A:2B:3C:4D:5E", with the same first-byte rule.
std::string ColonHardwareAddress(const std::vector<std::uint8_t>& bytes);

// Eight groups of two bytes, each written as hex without leading-zero
// trimming or "::" shortening; a group whose low byte is below 16 and whose
// high byte is not zero gets a zero digit between the two ("01 00" -> "100").
std::string Ipv6Text(const std::array<std::uint8_t, 16>& bytes);

// Prefix length of a dotted mask as decimal text; see
// NetworkAdapter::MaskToPrefixLength.
std::string PrefixLengthOfMask(const std::string& mask);

}  // namespace linkscope
