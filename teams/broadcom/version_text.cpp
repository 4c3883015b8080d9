// The Broadcom collector's text helpers.
#include <algorithm>

#include "teams/teams.h"

namespace linkscope {
namespace {

// ASCII classes, whatever the process's locale.
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsPunct(char c) { return c > ' ' && c < 0x7F && !IsAlnum(c); }

}  // namespace

std::string Teams::FormatMacAddress(const std::string& bare) {
    std::string text = bare.substr(0, 2);
    for (std::size_t i = 2; i < bare.size(); i += 2) text += ":" + bare.substr(i, 2);
    return text;
}

std::string Teams::CleanVersionText(std::string text) {
    if (text.empty()) return text;
    text.erase(std::min(text.find('\n'), text.size()));
    const auto last = text.find_last_not_of(' ');
    text.erase(last == std::string::npos ? 0 : last + 1);
    text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
    text.erase(std::min(text.find('\r'), text.size()));
    if (!std::all_of(text.begin(), text.end(), [](char c) { return IsAlnum(c) || IsSpace(c) || IsPunct(c); })) {
        return {};
    }
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == 'v' && IsDigit(text[i + 1])) text.erase(i, 1);
    }
    return text;
}

void Teams::SplitVersionText(std::string& after, std::string& before) {
    const std::string text = after;
    const char separator = text.find('-') != std::string::npos ? '-' : ' ';
    const auto first = text.find(separator);
    if (first == std::string::npos) return;
    const auto second = text.find(separator, first + 1);
    const auto cut = second == std::string::npos ? first : second;
    after = text.substr(cut + 1);
    before = text.substr(0, cut);
}

}  // namespace linkscope
