#include "provider/firmware_text.h"

#include <algorithm>
#include <utility>

namespace linkscope::provider {

std::string LowerCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool IsBroadcomDescription(const std::string& description) {
    const std::string lower = LowerCase(description);
    return lower.find("broadcom") != std::string::npos || lower.find("bcm") != std::string::npos;
}

bool MatchChipId(std::string& text) {
    text = LowerCase(std::move(text));
    for (const std::string_view chip : BroadcomChipIds) {
        if (text.find(chip) != std::string::npos) {
            text = chip;
            return true;
        }
    }
    return false;
}

bool ShortenVersion(std::string& text) {
    std::size_t pieces = 0;
    std::size_t lastStart = 0;
    std::size_t lastEnd = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of(" -", start), text.size());
        if (end > start) {
            ++pieces;
            lastStart = start;
            lastEnd = end;
        }
        start = end + 1;
    }
    if (pieces < 2) return false;
    text = text.substr(lastStart, lastEnd - lastStart);
    return true;
}

}  // namespace linkscope::provider
