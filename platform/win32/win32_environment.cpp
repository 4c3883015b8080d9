#include "platform/win32/win32_environment.h"

#include <vector>

#include "platform/win32/windows_api.h"

namespace linkscope::win32 {

std::uint32_t Win32Environment::GetVariable(const std::string& name, std::uint32_t bufferSize) {
    std::vector<char> buffer(bufferSize);
    return GetEnvironmentVariableA(name.c_str(), buffer.data(), bufferSize);
}

}  // namespace linkscope::win32
