// The process environment of a Windows machine.
#pragma once

#include "platform/environment.h"

namespace linkscope::win32 {

class Win32Environment final : public platform::EnvironmentApi {
public:
    // GetEnvironmentVariableA into a buffer of `bufferSize` bytes; the
    // live environment, which the C run time's getenv copy may lag behind.
    std::uint32_t GetVariable(const std::string& name, std::uint32_t bufferSize) override;
};

}  // namespace linkscope::win32
