// Registry data as text: the bytes up to the first NUL or the end of the
// data, whichever comes first, so that unterminated data is never overrun.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace linkscope::platform {

inline std::string RegistryText(const std::vector<std::uint8_t>& data) {
    const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
    return std::string(data.begin(), end);
}

}  // namespace linkscope::platform
