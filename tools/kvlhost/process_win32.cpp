// The runner's operating-system needs on Windows.
#include <stdlib.h>
#include <windows.h>

#include "process.h"

namespace kvlhost {

const char* const kPluginFileName = "linkscope.dll";

std::string RunnerFolder() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return std::string();
    const std::string exe(path, length);
    return exe.substr(0, exe.find_last_of("\\/") + 1);
}

// Both copies of the environment: the system's, which GetEnvironmentVariableA
// reads, and the C run-time's, which getenv reads.
bool SetProcessEnvironment(const std::string& name, const std::string& value) {
    return SetEnvironmentVariableA(name.c_str(), value.c_str()) != 0 &&
           _putenv_s(name.c_str(), value.c_str()) == 0;
}

std::string LoadLibraryNow(const std::string& path) {
    if (LoadLibraryA(path.c_str()) != nullptr) return std::string();
    return "system error " + std::to_string(GetLastError());
}

}  // namespace kvlhost
