#include "teams/intel/wmi_values.h"

#include <array>
#include <limits>

namespace linkscope::intel {

using Kind = platform::WmiValue::Kind;

std::string TextOf(const platform::WmiValue& value) { return value.kind == Kind::kText ? value.text : std::string(); }

std::int32_t Int32Of(const platform::WmiValue& value) {
    if (value.kind != Kind::kInt32 && value.kind != Kind::kOtherInteger) return 0;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value.integer));
}

std::uint64_t SpeedOf(const platform::WmiValue& value) {
    if (value.kind != Kind::kText) return static_cast<std::uint32_t>(Int32Of(value));
    std::size_t at = value.text.find_first_not_of(" \t");
    std::uint64_t speed = 0;
    for (; at < value.text.size() && value.text[at] >= '0' && value.text[at] <= '9'; ++at) {
        const unsigned digit = static_cast<unsigned>(value.text[at] - '0');
        if (speed > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return 0;
        speed = speed * 10 + digit;
    }
    return speed;
}

std::int32_t EnabledStateOfHardwareStatus(std::int32_t status) {
    static constexpr std::array<std::int32_t, 6> kStates = {0, 2, 10, 1, 4, 3};
    return status >= 0 && status < static_cast<std::int32_t>(kStates.size()) ? kStates[status] : 0;
}

}  // namespace linkscope::intel
