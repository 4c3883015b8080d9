// Environment variables as the process sees them.
#pragma once

#include <cstdint>
#include <string>

namespace linkscope::platform {

class EnvironmentApi {
public:
    virtual ~EnvironmentApi() = default;
    // Reads `name` into a buffer of `bufferSize` bytes, as the system call
    // does: returns the text's length when it fits (the terminating NUL not
    // counted), the size needed when it does not, and 0 when the variable
    // is absent or empty.
    virtual std::uint32_t GetVariable(const std::string& name, std::uint32_t bufferSize) = 0;
};

}  // namespace linkscope::platform
