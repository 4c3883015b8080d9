#include "platform/win32/wide_text.h"

namespace linkscope::win32 {

std::string NarrowAsPercentS(const wchar_t* text, std::size_t maxUnits) {
    std::string narrow;
    if (text == nullptr) return narrow;
    for (std::size_t i = 0; i < maxUnits && text[i] != L'\0'; ++i) {
        const auto unit = static_cast<unsigned long>(text[i]);
        // The "C" locale maps only the first 256 code points, one byte each;
        // the conversion stops at any other.
        if (unit > 0xFF) break;
        narrow.push_back(static_cast<char>(unit));
    }
    return narrow;
}

}  // namespace linkscope::win32
