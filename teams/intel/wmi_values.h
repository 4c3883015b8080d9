// How the teaming provider's property values are read, whatever kind WMI
// hands them in.
#pragma once

#include <cstdint>
#include <string>

#include "platform/wmi.h"

namespace linkscope::intel {

// A text property; a value of another kind, or none, reads as empty.
std::string TextOf(const platform::WmiValue& value);
// A 32-bit integer property: the low 32 bits of any integer kind; a text,
// no value or another kind reads as 0.
std::int32_t Int32Of(const platform::WmiValue& value);
// A link speed in bit/s, given as a decimal text or as an integer: a text
// counts by its leading decimal digits (blanks before them skipped) and
// is 0 without digits or when it exceeds 64 bits; an integer counts by its
// low 32 bits, unsigned.
std::uint64_t SpeedOf(const platform::WmiValue& value);
// The enabled state of a hardware status code.
std::int32_t EnabledStateOfHardwareStatus(std::int32_t status);

}  // namespace linkscope::intel
