#include "platform/platform.h"

#include <utility>

namespace linkscope::platform {
namespace {

std::unique_ptr<Platform>& Slot() {
    static std::unique_ptr<Platform> installed;
    return installed;
}

}  // namespace

Platform& Current() {
    auto& slot = Slot();
    if (!slot) slot = MakeNativePlatform();
    return *slot;
}

std::unique_ptr<Platform> Install(std::unique_ptr<Platform> platform) {
    return std::exchange(Slot(), std::move(platform));
}

}  // namespace linkscope::platform
