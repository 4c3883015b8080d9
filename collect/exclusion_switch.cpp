#include "collect/exclusion_switch.h"

#include "platform/platform.h"

namespace linkscope {

bool ReadExcludeIpSwitch() {
    // A value longer than the buffer still counts: the call then answers
    // with the size it would need, which is non-zero.
    constexpr std::uint32_t kBufferSize = 32767;
    return platform::Current().Environment().GetVariable(kExcludeIpVariable, kBufferSize) != 0;
}

}  // namespace linkscope
