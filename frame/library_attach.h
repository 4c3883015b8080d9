// The library's attach step, called by the platform's loader hook.
#pragma once

namespace linkscope {

inline constexpr unsigned long kProcessAttach = 1;

// On process attach creates the one plug-in object, which registers itself
// with the host; reports 0 when it cannot be created. Every other reason
// does nothing and reports success: the host disposes of the object.
int LibraryAttach(unsigned long reason);

}  // namespace linkscope
