// What the JSON and MOF writers share about text. Both copy printable ASCII
// and well-formed UTF-8 as it is and write each longest broken piece of a
// UTF-8 sequence as one U+FFFD, so a name with stray bytes reads the same in
// either format; the bytes left over (control characters, quote and
// backslash) each format escapes its own way.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kvlhost {

// The most bytes an escaped text takes per byte of the original: "\u00XX"
// in JSON, "\x00XX" in MOF.
constexpr std::size_t kMostEscapedBytesPerByte = 6;

// Length of the well-formed UTF-8 sequence at `text[at]`, or 0 when it is
// not one; `*invalidLength` is then the length of its longest valid prefix
// (at least 1), which one replacement character stands for.
inline std::size_t Utf8SequenceLength(const std::string& text, std::size_t at, std::size_t* invalidLength) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    }
    *invalidLength = 1;
    if (length == 0) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= text.size()) return 0;
        const unsigned char next = byte(at + i);
        const bool fits = i == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
        if (!fits) return 0;
        *invalidLength = i + 1;
    }
    return length;
}

// Printable ASCII other than quote and backslash: what both formats copy
// as it is without a look at its neighbours.
constexpr auto kPlainByte = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c) plain[c] = c != '"' && c != '\\';
    return plain;
}();

// Where the run of plain bytes from `from` ends. Eight bytes at a time
// while they are all plain: none below 0x20, none from 0x80, no quote and
// no backslash.
inline std::size_t PlainRunEndInWords(const std::string& text, std::size_t from) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighs = 0x8080808080808080ull;
    const auto hasZeroByte = [](std::uint64_t word) { return (word - kOnes) & ~word & kHighs; };
    std::size_t at = from;
    for (; at + 8 <= text.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + at, 8);
        const std::uint64_t special = (word & kHighs) | ((word - 0x20 * kOnes) & ~word & kHighs) |
                                      hasZeroByte(word ^ ('"' * kOnes)) | hasZeroByte(word ^ ('\\' * kOnes));
        if (special != 0) break;
    }
    while (at < text.size() && kPlainByte[static_cast<unsigned char>(text[at])]) ++at;
    return at;
}

#if defined(__SSE2__)
// Bit i set for each of the 16 bytes at `bytes` that is not plain: below
// 0x20 or from 0x80 (both below 0x20 as signed bytes), a quote or a
// backslash.
inline unsigned SpecialBytes(const char* bytes) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i special = _mm_or_si128(_mm_cmplt_epi8(block, _mm_set1_epi8(0x20)),
                                         _mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8('"')),
                                                      _mm_cmpeq_epi8(block, _mm_set1_epi8('\\'))));
    return static_cast<unsigned>(_mm_movemask_epi8(special));
}

// The same, sixteen bytes at a time; the last few are copied into a block
// of their own, so that nothing past the text is read.
inline std::size_t PlainRunEndInBlocks(const std::string& text, std::size_t from) {
    std::size_t at = from;
    for (; at + 16 <= text.size(); at += 16) {
        if (const unsigned special = SpecialBytes(text.data() + at)) return at + __builtin_ctz(special);
    }
    if (at == text.size()) return at;
    char tail[16] = {};
    const std::size_t left = text.size() - at;
    std::memcpy(tail, text.data() + at, left);
    const unsigned special = SpecialBytes(tail) | (0xFFFFu << left);  // the padding ends the run
    return at + __builtin_ctz(special);
}
#endif

inline std::size_t PlainRunEnd(const std::string& text, std::size_t from) {
#if defined(__SSE2__)
    return PlainRunEndInBlocks(text, from);
#else
    return PlainRunEndInWords(text, from);
#endif
}

// Writes the backslash escape of a control character, quote or backslash
// at `to` and returns the end: a short form where both formats have one,
// else `letter` and four hex digits from `digits`. Always four digits, so
// that a hex digit after the escape cannot be read as part of it.
inline char* PutBackslashEscape(char* to, unsigned char c, char letter, const char* digits) {
    *to++ = '\\';
    switch (c) {
        case '"': *to++ = '"'; break;
        case '\\': *to++ = '\\'; break;
        case '\b': *to++ = 'b'; break;
        case '\f': *to++ = 'f'; break;
        case '\n': *to++ = 'n'; break;
        case '\r': *to++ = 'r'; break;
        case '\t': *to++ = 't'; break;
        default:
            to[0] = letter;
            to[1] = '0';
            to[2] = '0';
            to[3] = digits[c >> 4];
            to[4] = digits[c & 0xF];
            to += 5;
    }
    return to;
}

// Writes `text` at `out`, which has room for kMostEscapedBytesPerByte
// bytes per byte of it, and returns the end. Plain runs and well-formed
// UTF-8 go over as they are, bytes that are not UTF-8 become U+FFFD, and
// every other byte (a control character, quote or backslash) is handed to
// `escape(out, byte)`, which writes it and returns the end.
template <class Escape>
char* CopyEscaped(const std::string& text, char* out, Escape escape) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t run = PlainRunEnd(text, i);
        std::memcpy(out, text.data() + i, run - i);
        out += run - i;
        i = run;
        if (i == text.size()) break;
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out = escape(out, c);
            ++i;
            continue;
        }
        std::size_t invalid = 0;
        if (const std::size_t length = Utf8SequenceLength(text, i, &invalid)) {
            std::memcpy(out, text.data() + i, length);
            out += length;
            i += length;
        } else {
            std::memcpy(out, "\xEF\xBF\xBD", 3);
            out += 3;
            i += invalid;
        }
    }
    return out;
}

}  // namespace kvlhost
