// Case folding for names the system compares case-insensitively (registry
// keys and values, environment variables). Only ASCII letters fold.
#pragma once

#include <string>

namespace linkscope::sim {

inline std::string FoldCase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace linkscope::sim
