#include "frame/library_attach.h"

#include <exception>
#include <new>

#include "frame/link_scope_callbacks.h"

namespace linkscope {

int LibraryAttach(unsigned long reason) {
    if (reason != kProcessAttach) return 1;
    try {
        // The host owns the object from here and deletes it through Destroy.
        return new (std::nothrow) TLinkScopeCallbacks() != nullptr ? 1 : 0;
    } catch (const std::exception&) {
        // Registration failed in the host; a loader hook must not throw.
        return 0;
    }
}

}  // namespace linkscope
