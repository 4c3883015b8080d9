// The Windows loader calls the library entry point with a reason code.
// Declared by hand so that no OS header is needed here.
#include "frame/library_attach.h"

extern "C" int __stdcall DllMain(void* /*module*/, unsigned long reason, void* /*reserved*/) {
    return linkscope::LibraryAttach(reason);
}
