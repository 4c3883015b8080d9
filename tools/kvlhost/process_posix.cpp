// The runner's operating-system needs on Linux and other POSIX systems.
#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>

#include "library_image.h"
#include "process.h"

namespace kvlhost {

const char* const kPluginFileName = "liblinkscope.so";
const char* const kSimulatedPluginFileName = "liblinkscope_sim.so";

std::string RunnerFolder() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path) return std::string();
    const std::string exe(path, static_cast<size_t>(length));
    return exe.substr(0, exe.rfind('/') + 1);
}

bool SetProcessEnvironment(const std::string& name, const std::string& value) {
    return setenv(name.c_str(), value.c_str(), 1) == 0;
}

void UseBinaryStandardInput() {}

std::string LibraryFileProblem(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "cannot open the file";
    return ElfLibraryProblem(file, sizeof(void*) == 8);
}

void* LoadLibraryNow(const std::string& path, std::string& error) {
    if (void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
    const char* reason = dlerror();
    error = reason ? reason : "unknown loader error";
    return nullptr;
}

void* LibraryFunction(void* library, const char* name) { return dlsym(library, name); }

}  // namespace kvlhost
