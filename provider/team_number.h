// The text of a team number. Ports, networking groups and the membership
// associations all write or look for it, so they must agree to the letter.
#pragma once

#include <cstdint>
#include <string>

namespace linkscope::provider {

// Signed decimal, as "%d" writes the 32 bits: 401 gives "401", 4294967295
// gives "-1", 2^31 gives "-2147483648".
inline std::string TeamNumberText(std::uint32_t number) {
    return std::to_string(static_cast<std::int32_t>(number));
}

}  // namespace linkscope::provider
