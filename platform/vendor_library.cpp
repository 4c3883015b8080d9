#include "platform/vendor_library.h"

#include <new>

namespace linkscope::platform {

std::unique_ptr<std::uint8_t[]> VendorLibraryApi::Allocate(std::size_t bytes) {
    return std::unique_ptr<std::uint8_t[]>(new (std::nothrow) std::uint8_t[bytes]());
}

}  // namespace linkscope::platform
