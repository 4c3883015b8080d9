// Failure messages echo paths, names and field names the user gave; printed
// raw, a line feed would split the one-line message and stray bytes would
// make it invalid text.
#pragma once

#include <string>

namespace kvlhost {

// `text` with every control character and every byte that does not belong
// to a well-formed UTF-8 character written as \xHH.
std::string OneLine(const std::string& text);

}  // namespace kvlhost
