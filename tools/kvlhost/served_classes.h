// The classes the plug-in serves, in the order it compares their names.
#pragma once

#include <string>
#include <vector>

namespace kvlhost {

const std::vector<std::string>& ServedClasses();

}  // namespace kvlhost
