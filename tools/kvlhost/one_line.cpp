#include "one_line.h"

#include <cstdio>

#include "text_escape.h"

namespace kvlhost {

std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        std::size_t invalid = 0;
        const std::size_t length = c < 0x80 ? 1 : Utf8SequenceLength(text, at, &invalid);
        if (length == 0 || c < 0x20 || c == 0x7F) {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            line += escaped;
            ++at;
        } else {
            line.append(text, at, length);
            at += length;
        }
    }
    return line;
}

}  // namespace kvlhost
