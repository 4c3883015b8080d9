// Printing committed instances as JSON or MOF text, one at a time as they
// are committed: a writer keeps no instance, so the output can be any size.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "kvl/hub.h"

namespace kvlhost {

// Writes instances in the order it is given them. Text goes out in chunks
// as a buffer fills; Finish() writes the end and the rest. A writer
// destroyed without Finish() drops what it had not yet sent, so the output
// of a failed run is never a complete document.
class InstanceWriter {
public:
    virtual ~InstanceWriter() = default;

    // Whether the writer needs to see, before the output starts, the
    // associations that will be written after instances of other classes.
    // MOF does: an instance that a later one refers to gets an alias.
    virtual bool NeedsLookahead() const { return false; }
    // An instance that will be written later (or has been already); only
    // its references are read.
    virtual void Foresee(const NQRXKVL20::THubInstance&) {}
    virtual void Write(const NQRXKVL20::THubInstance& instance) = 0;
    virtual void Finish() = 0;
};

// Both formats write UTF-8: a text's bytes that are not UTF-8 are printed
// as U+FFFD, and its control characters as backslash escapes.

// {"instances": [{"class", "path", "properties", "types"}, ...]}, indented
// by two spaces, ending in a newline.
std::unique_ptr<InstanceWriter> MakeJsonWriter(std::ostream& out);

// One "instance of" block per instance, each after a "// PATH" line. An
// instance that another one of the output refers to gets an alias, which a
// reference further down names instead of the path.
std::unique_ptr<InstanceWriter> MakeMofWriter(std::ostream& out);

// The whole text of a list of instances; FormatMof lets the writer foresee
// every instance first.
typedef std::vector<boost::shared_ptr<NQRXKVL20::THubInstance> > InstanceList;
std::string FormatJson(const InstanceList& instances);
std::string FormatMof(const InstanceList& instances);

}  // namespace kvlhost
