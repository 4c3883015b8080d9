// Wide (UTF-16) texts from the system turned into the narrow texts the
// collectors store.
#pragma once

#include <cstddef>
#include <string>

namespace linkscope::win32 {

// The narrow text that formatting `text` with "%S" gives in the C run
// time's default "C" locale: each code unit below 256 becomes the byte of
// the same value; the text ends at its NUL, after `maxUnits` units (the
// end of its field), or at the first unit the locale cannot represent.
std::string NarrowAsPercentS(const wchar_t* text, std::size_t maxUnits);

}  // namespace linkscope::win32
