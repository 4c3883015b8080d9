// Printing committed instances, in commit order, as JSON or MOF text.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "kvl/hub.h"

namespace kvlhost {

typedef std::vector<boost::shared_ptr<NQRXKVL20::THubInstance> > InstanceList;

// {"instances": [{"class", "path", "properties", "types"}, ...]}, indented
// by two spaces, ending in a newline. Bytes that are not UTF-8 are printed
// as U+FFFD.
std::string FormatJson(const InstanceList& instances);
// The same, written to `out` as it is made.
void WriteJson(const InstanceList& instances, std::ostream& out);

// One "instance of" block per instance, each after a "// PATH" line. An
// instance that a later one refers to gets an alias, which the reference
// names instead of the path.
std::string FormatMof(const InstanceList& instances);

}  // namespace kvlhost
