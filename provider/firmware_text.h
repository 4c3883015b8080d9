// The texts of the firmware element and device firmware sections: which
// adapters are Broadcom adapters, the chip a text names, and the version
// word an element carries.
#pragma once

#include <string>
#include <string_view>

namespace linkscope::provider {

// The chip ids a text is matched against, in order: the first one the text
// contains wins, so each "...s" (SerDes) variant comes before the chip it
// extends.
inline constexpr std::string_view BroadcomChipIds[] = {
    "5703s", "5704s", "5714s", "5715s", "5780s", "5700", "5702", "5703", "5704", "5721", "5722",
    "5752",  "5780",  "b6c1",  "b6s1",  "b8c1",  "b8s1", "b9c1", "b9s1", "b9x1", "57710", "57711",
};

// ASCII letters in lower case; every other byte stays as it is.
std::string LowerCase(std::string text);

// Whether an adapter description, in lower case, contains "broadcom" or
// "bcm".
bool IsBroadcomDescription(const std::string& description);

// Lower-cases `text` in place; if it contains a chip id, replaces it by the
// first one (in the order above) and returns true. Otherwise the text stays
// lower-cased and the answer is false.
bool MatchChipId(std::string& text);

// Splits `text` at every space and "-", dropping empty pieces; with two
// pieces or more, `text` becomes the last one and the answer is true. With
// one piece or none it stays as it was ("3.05", " 3.05", "- -").
bool ShortenVersion(std::string& text);

}  // namespace linkscope::provider
