// Case folding for names the system compares in any letter case (registry
// keys and values, environment variables). Only ASCII letters fold.
#pragma once

#include <string>

namespace linkscope::platform {

inline char FoldChar(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string FoldCase(std::string text) {
    for (char& c : text) c = FoldChar(c);
    return text;
}

}  // namespace linkscope::platform
