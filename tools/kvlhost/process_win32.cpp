// The runner's operating-system needs on Windows.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

#include <fstream>

#include "library_image.h"
#include "process.h"

namespace kvlhost {

const char* const kPluginFileName = "linkscope.dll";
const char* const kSimulatedPluginFileName = "linkscope_sim.dll";

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

// In text mode the C run time would turn CR LF into LF and end the input at
// the first Ctrl-Z.
void UseBinaryStandardInput() { _setmode(_fileno(stdin), _O_BINARY); }

void PrepareHeap() {}

std::string LibraryFileProblem(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "cannot open the file";
    return PeLibraryProblem(file, sizeof(void*) == 8);
}

void* LoadLibraryNow(const std::string& path, std::string& error) {
    if (HMODULE library = LoadLibraryA(path.c_str())) return reinterpret_cast<void*>(library);
    error = "system error " + std::to_string(GetLastError());
    return nullptr;
}

void* LibraryFunction(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

}  // namespace kvlhost
