// ELF platforms have no entry point with a reason code: the loader runs
// this constructor when the library is loaded into a process.
#include "frame/library_attach.h"

namespace {

__attribute__((constructor)) void AttachToProcess() { linkscope::LibraryAttach(linkscope::kProcessAttach); }

}  // namespace
