#include "collect/address_text.h"

#include <bitset>
#include <cctype>
#include <cstring>

#include "collect/network_adapter.h"

namespace linkscope {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Upper-case hex digits of `value` without leading zeros ("%X").
void AppendHex(std::string& text, unsigned value) {
    char digits[8];
    int count = 0;
    do {
        digits[count++] = kHexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count > 0) text += digits[--count];
}

std::string HardwareAddress(const std::vector<std::uint8_t>& bytes, const char* separator) {
    std::string text;
    const size_t count = bytes.empty() ? 1 : bytes.size();
    // Exactly: a short text then stays in the string's own room.
    text.reserve(2 * count + (count - 1) * std::strlen(separator));
    for (size_t i = 0; i < count; ++i) {
        const unsigned byte = bytes.empty() ? 0u : bytes[i];
        if (i != 0) text += separator;
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0xF];
    }
    return text;
}

// Reads a decimal integer the way atoi does (leading blanks, a sign, then
// digits); 0 when there is none. Overlong numbers wrap instead of invoking
// undefined behaviour; only the low byte and zero-ness matter to callers.
std::int64_t ReadDecimal(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::uint32_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    const auto magnitude = static_cast<std::int64_t>(static_cast<std::int32_t>(value));
    return negative ? -magnitude : magnitude;
}

}  // namespace

std::string BareHardwareAddress(const std::vector<std::uint8_t>& bytes) { return HardwareAddress(bytes, ""); }

std::string ColonHardwareAddress(const std::vector<std::uint8_t>& bytes) { return HardwareAddress(bytes, ":"); }

std::string Ipv6Text(const std::array<std::uint8_t, 16>& bytes) {
    std::string text;
    text.reserve(40);
    for (size_t i = 0; i < bytes.size(); i += 2) {
        const unsigned high = bytes[i];
        const unsigned low = bytes[i + 1];
        if (i != 0) text += ':';
        // "%X%X" of the two bytes, or "%X%X%X" of (high, 0, low) when the
        // low byte alone would lose its leading zero digit.
        AppendHex(text, high);
        if (low < 16 && high != 0) text += '0';
        AppendHex(text, low);
    }
    return text;
}

std::string PrefixLengthOfMask(const std::string& mask) {
    // The last non-zero octet decides: its set bits plus 8 for every octet
    // before it, counting a full mask as 3 octets before the last one.
    int octetsBefore = 3;
    std::string rest = mask;
    int bits = 0;
    for (;;) {
        const size_t dot = rest.rfind('.');
        const std::int64_t value = ReadDecimal(dot == std::string::npos ? rest : rest.substr(dot + 1));
        if (value != 0) {
            bits = static_cast<int>(std::bitset<8>(static_cast<std::uint64_t>(value) & 0xFFu).count());
            break;
        }
        if (dot == std::string::npos) break;
        rest.resize(dot);
        --octetsBefore;
    }
    return std::to_string(bits + 8 * octetsBefore);
}

std::string NetworkAdapter::MaskToPrefixLength(const std::string& mask) { return PrefixLengthOfMask(mask); }

}  // namespace linkscope
