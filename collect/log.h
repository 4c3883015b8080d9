// Messages to the host's core logger.
#pragma once

#include <string>

namespace linkscope {

// Level 1 marks failures of the basic IP configuration calls; everything
// else is level 3.
inline constexpr int kLogFailure = 1;
inline constexpr int kLogDetail = 3;

void Log(int level, const std::string& text);

// printf-style formatting into a std::string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace linkscope
